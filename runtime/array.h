#pragma once
// The run time's arrays: numbered from 1, every element access checked against the bounds.
// An index below 1 raises run-time error 4, an index above the element count error 1.

#include <cstdint>
#include <utility>
#include <vector>

#include "runtime/program.h"

namespace rt {

template <typename T>
class Array {
public:
    Array() = default;
    explicit Array(std::vector<T> elements) : elements_(std::move(elements)) {}

    int32_t Count() const { return static_cast<int32_t>(elements_.size()); }

    const T& At(int32_t index) const {
        if (index < 1) RaiseRuntimeError(4, "Array index must be at least 1.");
        if (index > Count()) RaiseRuntimeError(1, "Array index is out of the defined range.");
        return elements_[static_cast<size_t>(index - 1)];
    }

private:
    std::vector<T> elements_;
};

}  // namespace rt
