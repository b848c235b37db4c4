#pragma once
// Arrays with explicit lower bound 0 and inclusive upper bounds, as the system's
// "0 To n" declarations; every index is checked (subscript out of range is a run-time error).
#include "platform/vberror.h"
#include <array>
#include <vector>

namespace vbarray_detail {
[[noreturn]] void subscriptError();
inline size_t check(int i, int ubound)
{
    if (i < 0 || i > ubound)
        subscriptError();
    return size_t(i);
}
// Elements of a dimension "0 To ub": -1 is an empty dimension; a bound below that is an error,
// not a request for billions of elements.
inline size_t extent(int ub)
{
    if (ub < -1)
        subscriptError();
    return size_t(ub + 1);
}
}

template <class T>
class Array1 {
public:
    Array1() = default;
    explicit Array1(int ub) { redim(ub); }
    void redim(int ub) { v_.assign(vbarray_detail::extent(ub), T{}); ub_ = ub; }
    void redimPreserve(int ub) { v_.resize(vbarray_detail::extent(ub), T{}); ub_ = ub; }
    void clear() { std::fill(v_.begin(), v_.end(), T{}); }
    int ubound() const { return ub_; }
    T& operator()(int i) { return v_[vbarray_detail::check(i, ub_)]; }
    const T& operator()(int i) const { return v_[vbarray_detail::check(i, ub_)]; }

private:
    int ub_ = -1;
    std::vector<T> v_;
};

template <class T>
class Array2 {
public:
    Array2() = default;
    Array2(int ub0, int ub1) { redim(ub0, ub1); }
    void redim(int ub0, int ub1)
    {
        v_.assign(vbarray_detail::extent(ub0) * vbarray_detail::extent(ub1), T{});
        ub0_ = ub0;
        ub1_ = ub1;
    }
    // Keeps every cell whose indices exist in both shapes, whatever the new bounds are.
    void redimPreserve(int ub0, int ub1)
    {
        Array2 n(ub0, ub1);
        for (int i = 0; i <= std::min(ub0, ub0_); ++i)
            for (int j = 0; j <= std::min(ub1, ub1_); ++j)
                n(i, j) = std::move((*this)(i, j));
        *this = std::move(n);
    }
    void clear() { std::fill(v_.begin(), v_.end(), T{}); }
    int ubound(int dim) const { return dim == 1 ? ub0_ : ub1_; }
    T& operator()(int i, int j) { return v_[index(i, j)]; }
    const T& operator()(int i, int j) const { return v_[index(i, j)]; }

private:
    size_t index(int i, int j) const
    {
        return vbarray_detail::check(i, ub0_) * size_t(ub1_ + 1) + vbarray_detail::check(j, ub1_);
    }
    int ub0_ = -1, ub1_ = -1;
    std::vector<T> v_;
};

template <class T>
class Array3 {
public:
    Array3() = default;
    Array3(int ub0, int ub1, int ub2) { redim(ub0, ub1, ub2); }
    void redim(int ub0, int ub1, int ub2)
    {
        v_.assign(vbarray_detail::extent(ub0) * vbarray_detail::extent(ub1) * vbarray_detail::extent(ub2), T{});
        ub_ = {ub0, ub1, ub2};
    }
    void redimPreserve(int ub0, int ub1, int ub2)
    {
        Array3 n(ub0, ub1, ub2);
        for (int i = 0; i <= std::min(ub0, ub_[0]); ++i)
            for (int j = 0; j <= std::min(ub1, ub_[1]); ++j)
                for (int k = 0; k <= std::min(ub2, ub_[2]); ++k)
                    n(i, j, k) = std::move((*this)(i, j, k));
        *this = std::move(n);
    }
    void clear() { std::fill(v_.begin(), v_.end(), T{}); }
    int ubound(int dim) const { return ub_[size_t(dim - 1)]; }
    T& operator()(int i, int j, int k) { return v_[index(i, j, k)]; }
    const T& operator()(int i, int j, int k) const { return v_[index(i, j, k)]; }

private:
    size_t index(int i, int j, int k) const
    {
        return (vbarray_detail::check(i, ub_[0]) * size_t(ub_[1] + 1) + vbarray_detail::check(j, ub_[1]))
                * size_t(ub_[2] + 1)
            + vbarray_detail::check(k, ub_[2]);
    }
    std::array<int, 3> ub_ {-1, -1, -1};
    std::vector<T> v_;
};
