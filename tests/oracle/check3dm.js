#!/usr/bin/env node
// Reads 3DM files with real OpenNURBS (npm rhino3dm, WebAssembly) and either compares each with
// the expectations in its JSON sidecar (<file>.3dm.json, written by oracle_fixtures) or prints
// what it holds.
//
//   node check3dm.js FILE.3dm|FOLDER ...   check every file (a folder: every .3dm in it);
//                                          prints PASS/FAIL per file, exit code 1 on any failure
//   node check3dm.js --describe FILE.3dm ...
//                                          print archive, application, units, layers, objects
//                                          and per-mesh counts and bounding box
'use strict';
const fs = require('fs');
const path = require('path');

let rhino3dm;
try {
  rhino3dm = require('rhino3dm');
} catch (e) {
  console.error('check3dm: rhino3dm is not installed; run scripts/setup (npm ci in tests/oracle)');
  process.exit(2);
}

function load(rh, file) {
  return rh.File3dm.fromByteArray(new Uint8Array(fs.readFileSync(file)));
}

function enumName(enumeration, value) {
  return Object.keys(enumeration).find(k => enumeration[k] === value) || String(value);
}

const round = x => +x.toFixed(4);
const boxText = bb => `[${bb.min.map(round)}]-[${bb.max.map(round)}]`;

function describe(rh, file) {
  const model = load(rh, file);
  if (!model) {
    console.log(`${file}: OpenNURBS could not read the file`);
    return false;
  }
  const layers = model.layers();
  const objects = model.objects();
  const layerNames = [];
  for (let i = 0; i < layers.count; i++) layerNames.push(`"${layers.get(i).name}"`);
  console.log(file);
  console.log(`  archive version ${model.archiveVersion}`);
  console.log(`  application "${model.applicationName}" (${model.applicationDetails || 'no details'})` +
              (model.applicationUrl ? ` ${model.applicationUrl}` : ''));
  console.log(`  created by "${model.createdBy}" on ${model.created ? model.created.toISOString() : '?'}`);
  console.log(`  units ${enumName(rh.UnitSystem, model.settings().modelUnitSystem)}`);
  console.log(`  layers ${layers.count}: ${layerNames.join(', ')}`);
  console.log(`  objects ${objects.count}`);
  for (let i = 0; i < objects.count; i++) {
    const object = objects.get(i);
    const geometry = object.geometry();
    const attributes = object.attributes();
    const where = `layer ${attributes.layerIndex}` + (attributes.name ? `, name "${attributes.name}"` : '');
    if (geometry instanceof rh.Mesh) {
      const faces = geometry.faces();
      console.log(`    ${i}: mesh, ${where}: ${geometry.vertices().count} vertices, ${faces.count} faces ` +
                  `(${faces.quadCount} quads, ${faces.triangleCount} triangles), ${geometry.normals().count} normals, ` +
                  `${geometry.isValid ? 'valid' : 'INVALID'}, bbox ${boxText(geometry.getBoundingBox(true))}`);
    } else {
      console.log(`    ${i}: ${geometry ? geometry.constructor.name : 'no geometry'}, ${where}`);
    }
  }
  return true;
}

const close = (a, b, tol) => a.length === b.length && a.every((x, i) => Math.abs(x - b[i]) <= tol);
const scaleOf = p => Math.max(1, ...p.map(Math.abs));

function checkMesh(rh, tag, object, expected, fail) {
  const mesh = object.geometry();
  if (!(mesh instanceof rh.Mesh)) return fail(`${tag} is not a mesh`);
  const V = mesh.vertices(), F = mesh.faces(), N = mesh.normals();
  const expect = (cond, text) => { if (!cond) fail(`${tag} ${text}`); };
  expect(V.count === expected.vcount, `vertices ${V.count} != ${expected.vcount}`);
  expect(F.count === expected.fcount, `faces ${F.count} != ${expected.fcount}`);
  expect(F.quadCount === expected.quads, `quads ${F.quadCount} != ${expected.quads}`);
  expect(F.triangleCount === expected.fcount - expected.quads, `triangles ${F.triangleCount}`);
  expect(N.count === expected.ncount, `normals ${N.count} != ${expected.ncount}`);
  for (const [k, p] of Object.entries(expected.vertices))
    expect(+k < V.count && close(V.get(+k), p, 1e-6 * scaleOf(p)), `V[${k}] ${+k < V.count ? V.get(+k) : '-'} != ${p}`);
  for (const [k, f] of Object.entries(expected.faces))
    expect(+k < F.count && close(F.get(+k), f, 0), `F[${k}] ${+k < F.count ? F.get(+k) : '-'} != ${f}`);
  for (const [k, n] of Object.entries(expected.normals))
    expect(+k < N.count && close(N.get(+k), n, 1e-7), `N[${k}] ${+k < N.count ? N.get(+k) : '-'} != ${n}`);
  // The stored box is trusted by readers: it must hold every vertex and be no more than a
  // float's rounding larger than the true box.
  const bb = mesh.getBoundingBox(true);
  const lo = expected.bbox.min.map(Math.fround), hi = expected.bbox.max.map(Math.fround);  // floats, as stored
  for (let k = 0; k < 3; k++) {
    const slack = 1e-6 * Math.max(1, Math.abs(lo[k]), Math.abs(hi[k]));
    expect(bb.min[k] <= lo[k] && bb.min[k] >= lo[k] - slack && bb.max[k] >= hi[k] && bb.max[k] <= hi[k] + slack,
           `bbox ${boxText(bb)} does not fit [${lo}]-[${hi}]`);
  }
  const attributes = object.attributes();
  expect(attributes.layerIndex === 0, `layerIndex ${attributes.layerIndex}`);
  expect(attributes.name === expected.name, `name "${attributes.name}" != "${expected.name}"`);
  expect(mesh.isValid, 'mesh.isValid is false');
}

function check(rh, file) {
  const sidecar = file + '.json';
  if (!fs.existsSync(sidecar)) {
    console.log(`FAIL ${file}: no expectations (${path.basename(sidecar)})`);
    return false;
  }
  const expected = JSON.parse(fs.readFileSync(sidecar, 'utf8'));
  const fails = [];
  const fail = text => fails.push(text);
  const started = process.hrtime.bigint();
  const model = load(rh, file);
  const ms = Number(process.hrtime.bigint() - started) / 1e6;
  if (!model) {
    console.log(`FAIL ${file}: OpenNURBS could not read the file (File3dm.fromByteArray returned null)`);
    return false;
  }
  const unit = enumName(rh.UnitSystem, model.settings().modelUnitSystem);
  const layers = model.layers();
  const objects = model.objects();
  if (model.archiveVersion !== expected.version) fail(`archiveVersion ${model.archiveVersion} != ${expected.version}`);
  if (unit !== expected.unit) fail(`units ${unit} != ${expected.unit}`);
  if (layers.count !== 1 || layers.get(0).name !== expected.layer)
    fail(`layers: ${layers.count}, first "${layers.count ? layers.get(0).name : ''}" (expected one, "${expected.layer}")`);
  if (model.applicationName !== expected.application) fail(`applicationName "${model.applicationName}"`);
  if (!model.createdBy) fail('no creator in the revision history');
  const created = model.created ? model.created.getTime() / 1000 : NaN;
  if (!(Math.abs(created - expected.createdUnix) <= 120))
    fail(`created ${model.created ? model.created.toISOString() : '?'} is not the writing time ` +
         `${new Date(expected.createdUnix * 1000).toISOString()}`);
  if (objects.count !== expected.objects.length) fail(`objects ${objects.count} != ${expected.objects.length}`);
  for (let i = 0; i < Math.min(objects.count, expected.objects.length); i++)
    checkMesh(rh, `object ${i}:`, objects.get(i), expected.objects[i], fail);
  const summary = `archive=${model.archiveVersion} units=${unit} objects=${objects.count} read=${ms.toFixed(0)}ms`;
  console.log(`${fails.length ? 'FAIL' : 'PASS'} ${file}: ${summary}` +
              (fails.length ? '\n   - ' + fails.join('\n   - ') : ''));
  return fails.length === 0;
}

function filesOf(args) {
  const files = [];
  for (const arg of args) {
    if (fs.existsSync(arg) && fs.statSync(arg).isDirectory())
      files.push(...fs.readdirSync(arg).filter(n => n.endsWith('.3dm')).sort().map(n => path.join(arg, n)));
    else
      files.push(arg);
  }
  return files;
}

const args = process.argv.slice(2);
const describing = args[0] === '--describe';
const files = filesOf(describing ? args.slice(1) : args);
if (files.length === 0) {
  console.error('usage: node check3dm.js [--describe] FILE.3dm|FOLDER ...  (no 3DM file given or found)');
  process.exit(2);
}
rhino3dm().then(rh => {
  let failures = 0;
  for (const file of files) {
    if (!fs.existsSync(file)) {
      console.log(`${describing ? '' : 'FAIL '}${file}: no such file`);
      failures++;
      continue;
    }
    if (!(describing ? describe(rh, file) : check(rh, file))) failures++;
  }
  if (!describing) console.log(`${files.length - failures} of ${files.length} files passed`);
  process.exitCode = failures ? 1 : 0;
});
