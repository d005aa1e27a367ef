// Thin process services: time, sleeping and plain printing on standard output.
#pragma once

#include <cstdint>

#include "runtime/object.h"
#include "runtime/string.h"

namespace tarnby {

class Runtime : public Object {
public:
    static Runtime& instance();

    static void sleep(int32_t milliseconds);
    static uint32_t tickCount();
    static void print(int32_t value);    // "%d"
    static void println(int32_t value);  // "%d\n"
    static void println(const Ref<String>& text);  // "%s\n", then flush
};

}  // namespace tarnby
