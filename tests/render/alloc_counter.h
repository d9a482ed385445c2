#pragma once

#include <cstddef>

namespace murmur::test {

// Number of global operator new calls so far in this test program.
std::size_t allocationCount();

}  // namespace murmur::test
