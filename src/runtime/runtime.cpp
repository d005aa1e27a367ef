// Process services over the current host.
#include "runtime/runtime.h"

#include <cstdio>

#include "runtime/host.h"

namespace tarnby {

Runtime& Runtime::instance()
{
    static Runtime runtime;
    return runtime;
}

void Runtime::sleep(int32_t milliseconds) { host().sleep(milliseconds); }

uint32_t Runtime::tickCount() { return host().tickCount(); }

void Runtime::print(int32_t value) { std::printf("%d", value); }

void Runtime::println(int32_t value) { std::printf("%d\n", value); }

void Runtime::println(const Ref<String>& text)
{
    std::printf("%s\n", text ? text->chars() : "");
    std::fflush(stdout);
}

}  // namespace tarnby
