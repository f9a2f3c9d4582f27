#include "driver/driver.hpp"

int main() { return run_program(); }
