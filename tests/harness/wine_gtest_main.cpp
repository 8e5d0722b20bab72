// main() for test programs under Wine that take no arguments of their own.
#include <gtest/gtest.h>

#include "wine_gtest.h"

int main(int argc, char** argv) {
  wine_gtest::Init(&argc, argv);
  return RUN_ALL_TESTS();
}
