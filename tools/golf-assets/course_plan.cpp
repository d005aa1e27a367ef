// Reading course descriptions, line by line.
#include "golf-assets/course_plan.h"

#include <cstdlib>
#include <sstream>

namespace tarnby::course {

namespace {

bool readNumber(std::istringstream& in, double& value)
{
    std::string word;
    if (!(in >> word)) {
        return false;
    }
    char* end = nullptr;
    value = std::strtod(word.c_str(), &end);
    return end != word.c_str() && *end == '\0';
}

bool readPoint(std::istringstream& in, Vec2& point)
{
    std::string word;
    if (!(in >> word)) {
        return false;
    }
    const size_t comma = word.find(',');
    if (comma == std::string::npos) {
        return false;
    }
    char* end = nullptr;
    point.x = std::strtod(word.c_str(), &end);
    if (end != word.c_str() + comma) {
        return false;
    }
    const char* second = word.c_str() + comma + 1;
    point.z = std::strtod(second, &end);
    return end != second && *end == '\0';
}

bool parseHole(std::istringstream& in, HolePlan& hole)
{
    double number = 0;
    if (!readNumber(in, number)) {
        return false;
    }
    hole.number = static_cast<int32_t>(number);
    std::string key;
    bool tee = false;
    bool pin = false;
    bool aim = false;
    while (in >> key) {
        double value = 0;
        if (key == "par" && readNumber(in, value)) {
            hole.par = static_cast<int32_t>(value);
        } else if (key == "tee" && readPoint(in, hole.tee)) {
            tee = true;
        } else if (key == "pin" && readPoint(in, hole.pin)) {
            pin = true;
        } else if (key == "aim" && readPoint(in, hole.aim)) {
            aim = true;
        } else if (key == "fairway" && readNumber(in, value)) {
            hole.fairwayWidth = value;
        } else if (key == "green" && readNumber(in, value)) {
            hole.greenRadius = value;
        } else {
            return false;
        }
    }
    if (!aim) {
        hole.aim = hole.pin;
    }
    return tee && pin && hole.number >= 1 && hole.number <= 18;
}

bool parseBunker(std::istringstream& in, BunkerPlan& bunker)
{
    std::string kind;
    in >> kind;
    double side = 0;
    if (kind == "green") {
        bunker.kind = BunkerPlan::Kind::Green;
        return readNumber(in, bunker.bearing) && readNumber(in, bunker.radius);
    }
    if (kind == "drive") {
        bunker.kind = BunkerPlan::Kind::Drive;
        if (!readNumber(in, side) || !readNumber(in, bunker.along) || !readNumber(in, bunker.radius)) {
            return false;
        }
        bunker.side = side < 0 ? -1 : 1;
        return true;
    }
    if (kind == "at") {
        bunker.kind = BunkerPlan::Kind::At;
        return readPoint(in, bunker.centre) && readNumber(in, bunker.radius) && readNumber(in, bunker.radius2)
               && readNumber(in, bunker.turn);
    }
    return false;
}

}  // namespace

bool parseCoursePlan(const std::string& text, CoursePlan& plan, std::string& error)
{
    std::istringstream lines(text);
    std::string line;
    int32_t lineNumber = 0;
    auto failAt = [&](const std::string& what) {
        error = "line " + std::to_string(lineNumber) + ": " + what;
        return false;
    };
    while (std::getline(lines, line)) {
        ++lineNumber;
        const size_t hash = line.find('#');
        if (hash != std::string::npos) {
            line.erase(hash);
        }
        std::istringstream in(line);
        std::string key;
        if (!(in >> key)) {
            continue;
        }
        double value = 0;
        HoleFilePlan* file = plan.files.empty() ? nullptr : &plan.files.back();
        if (key == "course") {
            if (!readNumber(in, value) || value < 0 || value > 2) {
                return failAt("course needs 0, 1 or 2");
            }
            plan.course = static_cast<int32_t>(value);
        } else if (key == "style") {
            std::string style;
            in >> style;
            if (style == "parkland") {
                plan.style = Style::Parkland;
            } else if (style == "links") {
                plan.style = Style::Links;
            } else if (style == "highland") {
                plan.style = Style::Highland;
            } else {
                return failAt("unknown style " + style);
            }
        } else if (key == "base") {
            if (!readNumber(in, plan.base)) {
                return failAt("base needs a level");
            }
        } else if (key == "relief") {
            if (!readNumber(in, plan.relief) || !readNumber(in, plan.wavelength) || plan.wavelength <= 1) {
                return failAt("relief needs a height and a wavelength");
            }
        } else if (key == "water") {
            if (!readNumber(in, plan.waterLevel) || plan.waterLevel < 1) {
                return failAt("water needs a level of 1 or more");
            }
        } else if (key == "shore") {
            for (double& width : plan.shore) {
                if (!readNumber(in, width)) {
                    return failAt("shore needs four widths");
                }
            }
        } else if (key == "heath") {
            if (!readNumber(in, plan.heath)) {
                return failAt("heath needs a share");
            }
        } else if (key == "waste") {
            if (!readNumber(in, plan.waste)) {
                return failAt("waste needs a share");
            }
        } else if (key == "file") {
            HoleFilePlan next;
            std::string seedWord;
            if (!(in >> next.name) || !(in >> seedWord) || seedWord != "seed" || !readNumber(in, value)) {
                return failAt("file needs a name and a seed");
            }
            next.seed = static_cast<uint32_t>(value);
            plan.files.push_back(next);
        } else if (file == nullptr) {
            return failAt(key + " before the first file");
        } else if (key == "hole") {
            HolePlan hole;
            if (!parseHole(in, hole)) {
                return failAt("hole needs a number, tee and pin");
            }
            file->holes.push_back(hole);
        } else if (key == "bunker") {
            BunkerPlan bunker;
            if (!parseBunker(in, bunker)) {
                return failAt("bad bunker");
            }
            if (bunker.kind == BunkerPlan::Kind::At) {
                file->bunkers.push_back(bunker);
            } else if (file->holes.empty()) {
                return failAt("a green or drive bunker belongs to a hole");
            } else {
                file->holes.back().bunkers.push_back(bunker);
            }
        } else if (key == "pond") {
            PondPlan pond;
            if (!readPoint(in, pond.centre) || !readNumber(in, pond.radiusX) || !readNumber(in, pond.radiusZ)
                || !readNumber(in, pond.turn)) {
                return failAt("pond needs a centre, two radii and a turn");
            }
            file->ponds.push_back(pond);
        } else if (key == "stream") {
            StreamPlan stream;
            Vec2 point;
            if (!readNumber(in, stream.width)) {
                return failAt("stream needs a width");
            }
            while (readPoint(in, point)) {
                stream.points.push_back(point);
            }
            if (stream.points.size() < 2) {
                return failAt("stream needs two points or more");
            }
            file->streams.push_back(stream);
        } else if (key == "hill") {
            HillPlan hill;
            if (!readPoint(in, hill.centre) || !readNumber(in, hill.height) || !readNumber(in, hill.radius)) {
                return failAt("hill needs a centre, a height and a radius");
            }
            file->hills.push_back(hill);
        } else {
            return failAt("unknown word " + key);
        }
    }
    if (plan.files.empty()) {
        error = "no hole files";
        return false;
    }
    return true;
}

}  // namespace tarnby::course
