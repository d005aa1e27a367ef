// Quick look at a painted hole file before it becomes a shape file.
#pragma once

#include <string>

#include "golf-assets/course_painter.h"

namespace tarnby::course {

// Writes a 512 x 512 PNG of the drawing: ground colours with hill shading and
// the holes' tees, pins and aim points marked.
bool writeDrawingPreview(const HoleDrawing& drawing, const HoleFilePlan& file, const std::string& path);

}  // namespace tarnby::course
