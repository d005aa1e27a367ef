// course-preview: look at a hole from its tee or any camera, and try shots.
#include <string>
#include <vector>

#include "course-preview/course_preview.h"

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string self = argc > 0 ? argv[0] : "";
    return tarnby::preview::run(args, self);
}
