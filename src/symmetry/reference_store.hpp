// The straightforward duplicate filter: the board turned through 64 positions, each compared
// with every stored solution. The shipped filter must answer as it does.
#pragma once

#include "symmetry/store.hpp"

StoreResult reference_store_if_unique();
