// course-preview: look at a hole from its tee or any camera, and try shots.
#include <string>
#include <vector>

#include "course-preview/course_preview.h"

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    return tarnby::preview::run(args);
}
