// Picture library: bundle loading, the pixel cache and its clock sweep.
#include "image/vilib.h"

#include <cstring>
#include <string>
#include <vector>

#include "runtime/byte_reader.h"
#include "runtime/files.h"

namespace tarnby {

namespace {

std::string bundleName(const Ref<String>& name) { return name ? name->chars() : ""; }

void say(const Ref<String>& name, const std::string& what)
{
    const std::string line = "Picture bundle " + bundleName(name) + ": " + what;
    V::log(line.c_str());
}

// A record's field: its value, or -1 after saying why there is none.
int32_t readField(ByteReader& in, const Ref<String>& name, int32_t index, const char* field)
{
    const int32_t value = in.readPacked();
    if (value == ByteReader::kEnd) {
        say(name, "ends early in picture " + std::to_string(index) + " (its " + field + ")");
        return -1;
    }
    if (value == ByteReader::kTooLarge) {
        say(name, std::string("picture ") + std::to_string(index) + ": " + field + " does not fit 31 bits");
        return -1;
    }
    return value;
}

}  // namespace

Vilib::Vilib(const Ref<String>& name)
{
    m_name = name;
    ByteArray bytes;
    if (readSegments(name, bytes)) {
        load(name, bytes);
    }
}

Vilib::Vilib(const Ref<String>& name, const ByteArray& bytes) { load(name, bytes); }

Vilib::~Vilib()
{
    if (m_jpegBuffer.shareCount() == 1) {
        deleteByte(m_jpegBuffer);
    }
}

bool Vilib::readSegments(const Ref<String>& name, ByteArray& bytes)
{
    if (!name) {
        return false;
    }
    const std::string prefix = dataPath((std::string("/") + name->chars()).c_str());
    if (prefix.empty()) {  // a path too long for the data folder
        V::log(("Could not open picture bundle " + bundleName(name)).c_str());
        return false;
    }
    return readSegmentFiles(prefix, name, bytes);
}

bool Vilib::readSegmentFiles(const std::string& prefix, const Ref<String>& name, ByteArray& bytes)
{
    std::vector<ByteArray> segments;
    int64_t total = 0;
    for (int32_t k = 0;; ++k) {
        ByteArray segment;
        const std::string file = prefix + std::to_string(k) + ".bin";
        const FileRead read = readBoundedFile(file, kMaxBundleBytes, segment);
        if (read == FileRead::Missing) {
            if (k == 0) {
                V::log(("Could not open picture bundle " + bundleName(name)).c_str());
                return false;
            }
            break;
        }
        total += segment.length();
        if (read == FileRead::TooLarge || total > kMaxBundleBytes) {
            say(name, "larger than " + std::to_string(kMaxBundleBytes) + " bytes, not read");
            return false;
        }
        segments.push_back(segment);
    }
    bytes = total > 0 ? ByteArray(static_cast<int32_t>(total)) : ByteArray();
    int32_t at = 0;
    for (const ByteArray& segment : segments) {
        if (!segment.empty()) {
            std::memcpy(bytes.data() + at, segment.data(), static_cast<size_t>(segment.length()));
            at += segment.length();
        }
    }
    return true;
}

void Vilib::load(const Ref<String>& name, const ByteArray& bytes)
{
    m_name = name;
    m_count = 0;
    m_clockHand = 0;
    m_intact = false;
    if (bytes.length() > kMaxBundleBytes) {
        say(name, "larger than " + std::to_string(kMaxBundleBytes) + " bytes, not read");
        return;
    }
    ByteReader in(bytes);
    const int32_t declared = in.readPacked();
    const int32_t bufferSize = in.readPacked();
    if (bytes.empty()) {
        say(name, "no bytes at all");
        return;
    }
    if (declared == ByteReader::kEnd || bufferSize == ByteReader::kEnd) {
        say(name, "ends before its picture count and JPEG buffer size");
        return;
    }
    if (declared < 0 || declared > kMaxPictures) {
        say(name, "bad picture count " + std::string(declared < 0 ? "beyond 31 bits" : std::to_string(declared))
                      + " (at most " + std::to_string(kMaxPictures) + ")");
        return;
    }
    if (bufferSize < 0) {
        say(name, "bad JPEG buffer size (beyond 31 bits)");
        return;
    }
    std::vector<Ref<Vpicture>> pictures;
    ByteArray header;
    int32_t largestBody = 0;
    bool intact = true;
    std::string firstDropped;  // said once at the end, however many there are
    int32_t dropped = 0;
    for (int32_t i = 0; i < declared && intact; ++i) {
        intact = false;
        const int32_t type = readField(in, name, i, "type");
        const int32_t width = type < 0 ? -1 : readField(in, name, i, "width");
        const int32_t height = width < 0 ? -1 : readField(in, name, i, "height");
        const int32_t anchorX = height < 0 ? -1 : readField(in, name, i, "anchor x");
        const int32_t anchorY = anchorX < 0 ? -1 : readField(in, name, i, "anchor y");
        int32_t size = anchorY < 0 ? -1 : readField(in, name, i, "data size");
        if (size < 0) {
            break;
        }
        Ref<Vpicture> picture = make<Vpicture>();
        picture->m_type = static_cast<uint8_t>(type);
        picture->m_width = static_cast<int16_t>(width);
        picture->m_height = static_cast<int16_t>(height);
        picture->m_anchorX = static_cast<int16_t>(anchorX);
        picture->m_anchorY = static_cast<int16_t>(anchorY);
        int64_t total = size;
        if (picture->m_type == Vpicture::kTypeJpeg) {
            const int32_t maskLength = readField(in, name, i, "mask length");
            if (maskLength < 0) {
                break;
            }
            if (header.empty()) {
                if (size < Vpicture::kJpegHeaderLength) {
                    say(name, "picture " + std::to_string(i) + ": JPEG header missing");
                    break;
                }
                header = in.readBytes(Vpicture::kJpegHeaderLength);
                if (header.empty()) {
                    say(name, "ends early in picture " + std::to_string(i) + " (its JPEG header)");
                    break;
                }
                size -= Vpicture::kJpegHeaderLength;
            }
            picture->m_jpegLength = size;
            total = static_cast<int64_t>(size) + maskLength;
        }
        // Sizes are checked against the bytes really left before anything is
        // allocated, in 64 bits: a size near 2^31 can neither wrap nor reserve
        // memory the bundle does not hold.
        if (total > in.remaining()) {
            say(name, "picture " + std::to_string(i) + " claims " + std::to_string(total) + " bytes of data, but only "
                          + std::to_string(in.remaining()) + " are left");
            break;
        }
        picture->m_data = in.readBytes(static_cast<int32_t>(total));
        // Only a body that was really read may size the shared JPEG buffer.
        if (picture->m_type == Vpicture::kTypeJpeg && size > largestBody) {
            largestBody = size;
        }
        // A picture of a negative or absurd size keeps its place in the
        // numbering but is dropped: nothing can draw it.
        const int64_t pixels = static_cast<int64_t>(picture->m_width) * picture->m_height;
        if (picture->m_width < 0 || picture->m_height < 0 || pixels > kMaxPicturePixels) {
            if (dropped++ == 0) {
                firstDropped = "picture " + std::to_string(i) + ": bad picture size " + std::to_string(picture->m_width)
                               + "x" + std::to_string(picture->m_height);
            }
            picture = nullptr;
        }
        pictures.push_back(picture);
        intact = true;
    }
    if (intact && !in.atEnd()) {
        say(name, std::to_string(in.remaining()) + " bytes after its last picture (" + std::to_string(declared)
                      + " declared): the count is damaged");
        intact = false;
    }
    // A dropped picture is damage too, but a line already said may be enough.
    if (intact && dropped > 0) {
        say(name, firstDropped + (dropped > 1 ? " (" + std::to_string(dropped) + " pictures dropped)" : ""));
    }
    intact = intact && dropped == 0;
    if (!header.empty()) {
        m_jpegBuffer = allocByte(static_cast<int32_t>(static_cast<int64_t>(Vpicture::kJpegHeaderLength) + largestBody));
        std::memcpy(m_jpegBuffer.data(), header.data(), static_cast<size_t>(Vpicture::kJpegHeaderLength));
        deleteByte(header);
    }
    m_count = static_cast<int32_t>(pictures.size());
    m_pictures = RefArray<Vpicture>(m_count);
    for (int32_t i = 0; i < m_count; ++i) {
        m_pictures[i] = pictures[static_cast<size_t>(i)];
    }
    m_intact = intact;
}

void Vilib::releasePicture(int32_t index)
{
    if (index >= 0 && index < m_pictures.length()) {
        m_pictures[index] = nullptr;
    }
}

void Vilib::releaseRange(int32_t first, int32_t last)
{
    // first, first + 2, ... up to last: the entries in between are kept.
    for (int32_t i = first; i <= last && i < m_pictures.length(); i += 2) {
        releasePicture(i);
    }
}

int32_t Vilib::drawPicture(int32_t index, uint32_t* frame, int32_t stride, int32_t frameHeight, int32_t left,
    int32_t top, int32_t right, int32_t bottom, Fixed placeX, Fixed placeY, Fixed scale, int32_t depth, Fixed opacity)
{
    Ref<Vpicture> picture = getPictureRef(index);
    if (!picture || !frame) {
        return 0;
    }
    const int32_t width = picture->m_width;
    const int32_t height = picture->m_height;
    if (!picture->decoded() && picture->m_type == Vpicture::kTypeRun && scale == kOne && opacity == kOne
        && right - left == width && bottom - top == height && (placeX >> 15) == left && (placeY >> 15) == top
        && left >= 0 && top >= 0 && right <= stride && bottom <= frameHeight && width > 0 && height > 0) {
        picture->decodeRunInto(frame, stride, top * stride + left);
        return 0;
    }
    picture = getPicture(index);
    return picture->draw(frame, stride, frameHeight, left, top, right, bottom, placeX, placeY, scale, depth, opacity);
}

bool Vilib::evict(int32_t bytesNeeded)
{
    const int32_t n = m_pictures.length();
    if (n == 0) {
        return false;
    }
    int32_t hand = m_clockHand >= 0 && m_clockHand < n ? m_clockHand : 0;
    for (int32_t steps = 0; steps < 2 * n; ++steps) {
        Vpicture* picture = m_pictures[hand].get();
        if (picture) {
            if (picture->m_recentlyUsed) {
                picture->m_recentlyUsed = false;
            } else if (picture->decoded()) {
                bytesNeeded -= picture->dropPixels();
                if (bytesNeeded <= 0) {
                    m_clockHand = hand;
                    return true;
                }
            }
        }
        hand = hand + 1 == n ? 0 : hand + 1;
    }
    m_clockHand = hand;
    return false;
}

Ref<Vpicture> Vilib::getPictureRef(int32_t index) const
{
    return index >= 0 && index < m_pictures.length() ? m_pictures[index] : nullptr;
}

Ref<Vpicture> Vilib::getPicture(int32_t index)
{
    Ref<Vpicture> picture = getPictureRef(index);
    if (!picture) {
        return nullptr;
    }
    if (!picture->decoded()) {
        // A damaged picture is named once, not at every decode after an eviction.
        const std::string label = "Picture " + std::to_string(index) + " of bundle " + (m_name ? m_name->chars() : "");
        picture->decode(m_jpegBuffer, picture->damaged() ? nullptr : label.c_str());
    }
    picture->m_recentlyUsed = true;
    return picture;
}

}  // namespace tarnby
