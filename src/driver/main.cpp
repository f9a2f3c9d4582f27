#include "driver/driver.hpp"
#include "platform/platform.hpp"

int main(int argc, char** argv) {
    platform_start_up();
    return run_program(argc, argv);
}
