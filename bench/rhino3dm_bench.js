// The rhino3dm (OpenNURBS as WebAssembly) side of the 3DM benchmarks.
//   node rhino3dm_bench.js write <mesh dump> <out.3dm> <version>
//     builds the dump's meshes through rhino3dm's API and writes them; the API calls,
//     toByteArrayOptions and the file write are timed separately
//   node rhino3dm_bench.js read <file.3dm>
//     what OpenNURBS reads back: mesh, vertex, face and normal counts
// Prints one line of key=value pairs, as bench_measure does. The dump format is in mesh_dump.h.
'use strict';
const fs = require('fs');
const rhino3dm = require('rhino3dm');

const seconds = start => Number(process.hrtime.bigint() - start) / 1e9;

function readDump(path) {
  const file = fs.readFileSync(path);
  const bytes = file.buffer.slice(file.byteOffset, file.byteOffset + file.length);
  const view = new DataView(bytes);
  if (String.fromCharCode(...new Uint8Array(bytes, 0, 4)) !== 'PLMD') throw new Error(`not a mesh dump: ${path}`);
  const meshes = [];
  let at = 8;
  for (let i = 0, count = view.getUint32(4, true); i < count; i++) {
    const [v, f, n] = [0, 4, 8].map(k => view.getUint32(at + k, true));
    at += 16;
    const mesh = { vertices: new Float32Array(bytes, at, 3 * v) };
    at += 12 * v;
    mesh.faces = new Uint32Array(bytes, at, 4 * f);
    at += 16 * f;
    mesh.normals = new Float32Array(bytes, at, 3 * n);
    at += 12 * n;
    meshes.push(mesh);
  }
  return meshes;
}

function buildModel(rh, meshes) {
  const model = new rh.File3dm();
  model.settings().modelUnitSystem = rh.UnitSystem.Millimeters;
  const layer = new rh.Layer();
  layer.name = 'Default';
  model.layers().add(layer);
  meshes.forEach((m, index) => {
    const mesh = new rh.Mesh();
    const vertices = mesh.vertices(), faces = mesh.faces(), normals = mesh.normals();
    for (let i = 0; i < m.vertices.length; i += 3) vertices.add(m.vertices[i], m.vertices[i + 1], m.vertices[i + 2]);
    for (let i = 0; i < m.faces.length; i += 4) {
      const f = m.faces;
      if (f[i + 2] === f[i + 3]) faces.addTriFace(f[i], f[i + 1], f[i + 2]);
      else faces.addQuadFace(f[i], f[i + 1], f[i + 2], f[i + 3]);
    }
    for (let i = 0; i < m.normals.length; i += 3) normals.add(m.normals[i], m.normals[i + 1], m.normals[i + 2]);
    const attributes = new rh.ObjectAttributes();
    attributes.layerIndex = 0;
    attributes.name = `mesh ${index + 1}`;
    model.objects().add(mesh, attributes);
  });
  return model;
}

function write(rh, dumpPath, outPath, version) {
  const meshes = readDump(dumpPath);
  let start = process.hrtime.bigint();
  const model = buildModel(rh, meshes);
  const build = seconds(start);
  const options = new rh.File3dmWriteOptions();
  options.version = version;
  start = process.hrtime.bigint();
  const bytes = model.toByteArrayOptions(options);
  const serialize = seconds(start);
  const peak = process.resourceUsage().maxRSS;
  start = process.hrtime.bigint();
  fs.writeFileSync(outPath, bytes);
  const save = seconds(start);
  return `ok=1 seconds=${serialize.toFixed(6)} peak_kb=${peak} build_seconds=${build.toFixed(6)} ` +
         `save_seconds=${save.toFixed(6)} bytes=${bytes.length}`;
}

function read(rh, path) {
  const model = rh.File3dm.fromByteArray(new Uint8Array(fs.readFileSync(path)));
  if (!model) return 'ok=0 error=File3dm.fromByteArray returned null';
  const totals = { meshes: 0, vertices: 0, faces: 0, normals: 0 };
  let valid = 1;
  const objects = model.objects();
  for (let i = 0; i < objects.count; i++) {
    const g = objects.get(i).geometry();
    if (!(g instanceof rh.Mesh)) continue;
    totals.meshes++;
    totals.vertices += g.vertices().count;
    totals.faces += g.faces().count;
    totals.normals += g.normals().count;
    if (!g.isValid) valid = 0;
  }
  const fields = Object.entries(totals).map(([k, v]) => `${k}=${v}`).join(' ');
  return `ok=1 archive=${model.archiveVersion} ${fields} valid=${valid}`;
}

rhino3dm().then(rh => {
  const [mode, ...args] = process.argv.slice(2);
  let line;
  try {
    if (mode === 'write' && args.length === 3) line = write(rh, args[0], args[1], Number(args[2]));
    else if (mode === 'read' && args.length === 1) line = read(rh, args[0]);
    else line = 'ok=0 error=usage: rhino3dm_bench.js write <dump> <out.3dm> <version> | read <file.3dm>';
  } catch (e) {
    line = `ok=0 error=${String(e.message || e).replace(/\s+/g, ' ')}`;
  }
  console.log(line);
  process.exitCode = line.startsWith('ok=1') ? 0 : 1;
});
