#include "on/ON_Mesh.h"

#include <cmath>
#include <cstdarg>

namespace {

// The squared-length window OpenNURBS accepts for a unit normal.
bool IsAcceptableUnitNormal(const ON_3fVector& n)
{
    double d = n.LengthSquared();
    return d >= 0.985 && d <= 1.015;
}

bool Fail(CString* reason, const char* format, ...) AFX_PRINTF_FORMAT(2, 3);
bool Fail(CString* reason, const char* format, ...)
{
    if (reason) {
        va_list args;
        va_start(args, format);
        reason->FormatV(format, args);
        va_end(args);
    }
    return false;
}

}  // namespace

bool ON_MeshFace::IsValid(int vertexCount) const
{
    for (int index : vi)
        if (index < 0 || index >= vertexCount)
            return false;
    if (vi[0] == vi[1] || vi[1] == vi[2] || vi[0] == vi[2] || vi[0] == vi[3])
        return false;
    return vi[2] == vi[3] || vi[1] != vi[3];
}

ON_Mesh::ON_Mesh(int initialFaceCapacity, int initialVertexCapacity, bool hasVertexNormals, bool)
{
    if (initialFaceCapacity > 0)
        m_F.Reserve(static_cast<std::size_t>(initialFaceCapacity));
    if (initialVertexCapacity > 0) {
        m_V.Reserve(static_cast<std::size_t>(initialVertexCapacity));
        if (hasVertexNormals)
            m_N.Reserve(static_cast<std::size_t>(initialVertexCapacity));
    }
}

int ON_Mesh::QuadCount() const
{
    int quads = 0;
    for (int i = 0; i < m_F.Count(); ++i)
        quads += m_F[i].IsQuad() ? 1 : 0;
    return quads;
}

int ON_Mesh::TriangleCount() const
{
    return m_F.Count() - QuadCount();
}

template <class T>
bool ON_Mesh::SetAt(ON_SimpleArray<T>& array, int index, const T& value)
{
    if (index < 0)
        return false;
    if (index < array.Count()) {
        array[index] = value;
        return true;
    }
    // OpenNURBS allows setting the element just past the end, which appends.
    if (index == array.Count()) {
        array.Append(value);
        return true;
    }
    return false;
}

bool ON_Mesh::SetVertex(int vertexIndex, const ON_3fPoint& point)
{
    return SetAt(m_V, vertexIndex, point);
}

bool ON_Mesh::SetVertexNormal(int vertexIndex, const ON_3fVector& normal)
{
    return SetAt(m_N, vertexIndex, normal);
}

bool ON_Mesh::SetTriangle(int faceIndex, int a, int b, int c)
{
    return SetAt(m_F, faceIndex, ON_MeshFace{{a, b, c, c}});
}

bool ON_Mesh::SetQuad(int faceIndex, int a, int b, int c, int d)
{
    return SetAt(m_F, faceIndex, ON_MeshFace{{a, b, c, d}});
}

bool ON_Mesh::ComputeFaceNormals()
{
    const int faceCount = m_F.Count();
    m_FN.SetCapacity(static_cast<std::size_t>(faceCount));
    m_FN.SetCount(faceCount);
    bool allValid = true;
    for (int i = 0; i < faceCount; ++i) {
        const ON_MeshFace& f = m_F[i];
        ON_3dVector n;
        if (f.IsValid(m_V.Count())) {
            ON_3dPoint p0(m_V[f.vi[0]]), p1(m_V[f.vi[1]]), p2(m_V[f.vi[2]]), p3(m_V[f.vi[3]]);
            n = ON_CrossProduct(p2 - p0, p3 - p1);
        }
        if (!n.Unitize()) {
            allValid = false;
            n = ON_3dVector(0, 0, 0);
        }
        m_FN[i] = ON_3fVector(static_cast<float>(n.x), static_cast<float>(n.y), static_cast<float>(n.z));
    }
    return allValid;
}

ON_BoundingBox ON_Mesh::BoundingBox() const
{
    ON_BoundingBox box;
    const int count = m_V.Count();
    if (count == 0)
        return box;
    const ON_3fPoint* v = m_V.Array();
    float lo[3] = {v[0].x, v[0].y, v[0].z};
    float hi[3] = {v[0].x, v[0].y, v[0].z};
    for (int i = 1; i < count; ++i) {
        const float p[3] = {v[i].x, v[i].y, v[i].z};
        for (int k = 0; k < 3; ++k) {
            lo[k] = p[k] < lo[k] ? p[k] : lo[k];
            hi[k] = p[k] > hi[k] ? p[k] : hi[k];
        }
    }
    box.m_min = ON_3dPoint(lo[0], lo[1], lo[2]);
    box.m_max = ON_3dPoint(hi[0], hi[1], hi[2]);
    return box;
}

bool ON_Mesh::IsValid(CString* reason) const
{
    const int vertexCount = m_V.Count();
    const int faceCount = m_F.Count();
    if (vertexCount < 3)
        return Fail(reason, "the mesh has %d vertices (at least 3 are needed)", vertexCount);
    if (faceCount < 1)
        return Fail(reason, "the mesh has %d faces (at least 1 is needed)", faceCount);
    for (int i = 0; i < vertexCount; ++i)
        if (!m_V[i].IsValid())
            return Fail(reason, "vertex %d is not a finite point", i);
    for (int i = 0; i < faceCount; ++i)
        if (!m_F[i].IsValid(vertexCount))
            return Fail(reason, "face %d has a vertex index out of range or a repeated corner", i);
    if (m_N.Count() != 0 && m_N.Count() != vertexCount)
        return Fail(reason, "the mesh has %d vertex normals for its vertices", m_N.Count());
    for (int i = 0; i < m_N.Count(); ++i)
        if (!IsAcceptableUnitNormal(m_N[i]))
            return Fail(reason, "vertex normal %d is not of unit length", i);
    if (m_FN.Count() != 0 && m_FN.Count() != faceCount)
        return Fail(reason, "the mesh has %d face normals for its faces", m_FN.Count());
    for (int i = 0; i < m_FN.Count(); ++i)
        if (!IsAcceptableUnitNormal(m_FN[i]))
            return Fail(reason, "face normal %d is not of unit length", i);
    return true;
}

void ON_Mesh::Destroy()
{
    m_V.Destroy();
    m_F.Destroy();
    m_N.Destroy();
    m_FN.Destroy();
}
