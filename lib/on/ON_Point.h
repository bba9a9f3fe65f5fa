// Points and vectors with OpenNURBS's public names: ON_3fPoint / ON_3fVector (float, as mesh
// vertices and normals are stored) and ON_3dPoint / ON_3dVector (double).
#pragma once

#include <cmath>

class ON_3fVector;

class ON_3fPoint {
public:
    float x = 0, y = 0, z = 0;

    ON_3fPoint() = default;
    ON_3fPoint(float px, float py, float pz) : x(px), y(py), z(pz) {}

    float operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }
    bool IsValid() const { return std::isfinite(x) && std::isfinite(y) && std::isfinite(z); }
    ON_3fVector operator-(const ON_3fPoint& other) const;
};

class ON_3fVector {
public:
    float x = 0, y = 0, z = 0;

    ON_3fVector() = default;
    ON_3fVector(float vx, float vy, float vz) : x(vx), y(vy), z(vz) {}

    float operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }
    double LengthSquared() const { return double(x) * x + double(y) * y + double(z) * z; }
    double Length() const { return std::sqrt(LengthSquared()); }
    bool IsUnitVector() const
    {
        double d = LengthSquared();
        return std::isfinite(d) && std::fabs(d - 1.0) <= 1e-5;
    }
    // Scales to unit length; false (and unchanged) for a zero or non-finite vector.
    bool Unitize()
    {
        double length = Length();
        if (!(length > 0) || !std::isfinite(length))
            return false;
        x = static_cast<float>(x / length);
        y = static_cast<float>(y / length);
        z = static_cast<float>(z / length);
        return true;
    }
};

inline ON_3fVector ON_3fPoint::operator-(const ON_3fPoint& other) const
{
    return ON_3fVector(x - other.x, y - other.y, z - other.z);
}

class ON_3dVector {
public:
    double x = 0, y = 0, z = 0;

    ON_3dVector() = default;
    ON_3dVector(double vx, double vy, double vz) : x(vx), y(vy), z(vz) {}
    explicit ON_3dVector(const ON_3fVector& v) : x(v.x), y(v.y), z(v.z) {}

    double LengthSquared() const { return x * x + y * y + z * z; }
    double Length() const { return std::sqrt(LengthSquared()); }
    bool Unitize()
    {
        double length = Length();
        if (!(length > 0) || !std::isfinite(length))
            return false;
        x /= length;
        y /= length;
        z /= length;
        return true;
    }
    ON_3dVector operator+(const ON_3dVector& v) const { return ON_3dVector(x + v.x, y + v.y, z + v.z); }
    ON_3dVector operator-(const ON_3dVector& v) const { return ON_3dVector(x - v.x, y - v.y, z - v.z); }
    ON_3dVector operator*(double s) const { return ON_3dVector(x * s, y * s, z * s); }
    ON_3dVector& operator+=(const ON_3dVector& v) { x += v.x; y += v.y; z += v.z; return *this; }
};

class ON_3dPoint {
public:
    double x = 0, y = 0, z = 0;

    ON_3dPoint() = default;
    ON_3dPoint(double px, double py, double pz) : x(px), y(py), z(pz) {}
    explicit ON_3dPoint(const ON_3fPoint& p) : x(p.x), y(p.y), z(p.z) {}

    double operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }
    ON_3dVector operator-(const ON_3dPoint& p) const { return ON_3dVector(x - p.x, y - p.y, z - p.z); }
};

inline double ON_DotProduct(const ON_3dVector& a, const ON_3dVector& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline ON_3dVector ON_CrossProduct(const ON_3dVector& a, const ON_3dVector& b)
{
    return ON_3dVector(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}
