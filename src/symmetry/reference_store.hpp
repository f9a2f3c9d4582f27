// The straightforward duplicate filter: the board turned into every position of the target's
// symmetries, each compared cell for cell with every stored solution. The shipped filter must
// answer as it does.
#pragma once

#include "symmetry/store.hpp"

StoreResult reference_store_if_unique();
