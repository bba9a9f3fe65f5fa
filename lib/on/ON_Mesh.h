// Polygon mesh with OpenNURBS's public names and meanings: float vertices, faces of three or
// four vertex indices (a triangle repeats its third index), optional unit vertex normals (one
// per vertex) and face normals (one per face).
#pragma once

#include "afx/CString.h"
#include "on/ON_Array.h"
#include "on/ON_Point.h"

struct ON_MeshFace {
    int vi[4];

    bool IsTriangle() const { return vi[2] == vi[3]; }
    bool IsQuad() const { return vi[2] != vi[3]; }
    // Indices in [0, vertexCount) and no corner repeated, apart from a triangle's third index.
    bool IsValid(int vertexCount) const;
};

class ON_BoundingBox {
public:
    ON_3dPoint m_min{1, 1, 1};   // min > max on every axis: the empty box
    ON_3dPoint m_max{-1, -1, -1};

    bool IsValid() const { return m_min.x <= m_max.x && m_min.y <= m_max.y && m_min.z <= m_max.z; }
    ON_3dPoint Min() const { return m_min; }
    ON_3dPoint Max() const { return m_max; }
    ON_3dVector Diagonal() const { return m_max - m_min; }
};

class ON_Mesh {
public:
    ON_SimpleArray<ON_3fPoint> m_V;
    ON_SimpleArray<ON_MeshFace> m_F;
    ON_SimpleArray<ON_3fVector> m_N;   // vertex normals: none or one per vertex
    ON_SimpleArray<ON_3fVector> m_FN;  // face normals: none or one per face

    ON_Mesh() = default;
    ON_Mesh(int initialFaceCapacity, int initialVertexCapacity, bool hasVertexNormals, bool hasTextureCoordinates);

    int VertexCount() const { return m_V.Count(); }
    int FaceCount() const { return m_F.Count(); }
    int QuadCount() const;
    int TriangleCount() const;
    bool HasVertexNormals() const { return m_V.Count() > 0 && m_N.Count() == m_V.Count(); }
    bool HasFaceNormals() const { return m_F.Count() > 0 && m_FN.Count() == m_F.Count(); }

    bool SetVertex(int vertexIndex, const ON_3fPoint& point);
    bool SetVertexNormal(int vertexIndex, const ON_3fVector& normal);
    bool SetTriangle(int faceIndex, int a, int b, int c);
    bool SetQuad(int faceIndex, int a, int b, int c, int d);

    // Unit face normals from the corners (a quad uses its diagonals); false if a face is degenerate.
    bool ComputeFaceNormals();

    ON_BoundingBox BoundingBox() const;  // of the vertices; empty without vertices

    // At least 3 finite vertices and 1 face, every face valid, normal counts 0 or matching and
    // every normal of unit length. On failure `reason`, when given, names the first problem.
    bool IsValid(CString* reason = nullptr) const;

    void Destroy();

private:
    template <class T>
    static bool SetAt(ON_SimpleArray<T>& array, int index, const T& value);
};
