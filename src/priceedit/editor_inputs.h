#pragma once
#include <cstddef>
#include <string>

namespace cl::priceedit {

// What the review screen hands to the sale-price editor before opening it.
struct EditorInputs {
    size_t gridRow = 0;    // data row of the grid, from 0
    long long codart = 0;  // 0: an article not yet in the store
    std::string ean;       // 13 characters
    std::string codafo;    // 16 characters
    long long bns = 0;     // row key
};

}  // namespace cl::priceedit
