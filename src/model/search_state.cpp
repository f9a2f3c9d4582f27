#include "model/search_state.hpp"

SearchState search_state;
