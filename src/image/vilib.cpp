// Picture library: bundle loading, the pixel cache and its clock sweep.
#include "image/vilib.h"

#include <cstring>
#include <string>
#include <vector>

#include "image/bundle_stream.h"

namespace tarnby {

namespace {

void logDamage(const Ref<String>& name, const char* what, int32_t index)
{
    std::string line = std::string("Picture bundle ") + (name ? name->chars() : "") + ": " + what + " at picture "
        + std::to_string(index);
    V::log(line.c_str());
}

} // namespace

Vilib::Vilib(const Ref<String>& name)
{
    load(name);
}

Vilib::~Vilib()
{
    if (m_jpegBuffer.shareCount() == 1) {
        deleteByte(m_jpegBuffer);
    }
}

void Vilib::load(const Ref<String>& name)
{
    m_name = name;
    m_count = 0;
    m_clockHand = 0;
    m_intact = false;
    if (!name) {
        return;
    }
    BundleStream in(name->chars());
    if (!in.opened()) {
        std::string line = std::string("Could not open picture bundle ") + name->chars();
        V::log(line.c_str());
        return;
    }
    const int32_t declared = in.readInt();
    const int32_t bufferSize = in.readInt();
    if (declared < 0 || declared > kMaxPictures || bufferSize < 0) {
        std::string line = std::string("Picture bundle ") + name->chars()
            + (declared < 0 || declared > kMaxPictures
                    ? ": bad picture count " + std::to_string(declared) + " (at most " + std::to_string(kMaxPictures) + ")"
                    : std::string(": bad JPEG buffer size"));
        V::log(line.c_str());
        return;
    }
    std::vector<Ref<Vpicture>> pictures;
    ByteArray header;
    int32_t largestBody = 0;
    bool intact = true;
    for (int32_t i = 0; i < declared; ++i) {
        const int32_t type = in.readInt();
        const int32_t width = in.readInt();
        const int32_t height = in.readInt();
        const int32_t anchorX = in.readInt();
        const int32_t anchorY = in.readInt();
        int32_t size = in.readInt();
        if (type < 0 || width < 0 || height < 0 || anchorX < 0 || anchorY < 0 || size < 0) {
            logDamage(name, "bundle ends early", i);
            intact = false;
            break;
        }
        Ref<Vpicture> picture = make<Vpicture>();
        picture->m_type = static_cast<uint8_t>(type);
        picture->m_width = static_cast<int16_t>(width);
        picture->m_height = static_cast<int16_t>(height);
        picture->m_anchorX = static_cast<int16_t>(anchorX);
        picture->m_anchorY = static_cast<int16_t>(anchorY);
        int32_t total = size;
        if (picture->m_type == Vpicture::kTypeJpeg) {
            const int32_t maskLength = in.readInt();
            if (maskLength < 0) {
                logDamage(name, "bundle ends early", i);
                intact = false;
                break;
            }
            if (header.empty()) {
                if (size < Vpicture::kJpegHeaderLength) {
                    logDamage(name, "JPEG header missing", i);
                    intact = false;
                    break;
                }
                header = in.readBytes(Vpicture::kJpegHeaderLength);
                if (header.empty()) {
                    logDamage(name, "bundle ends early", i);
                    intact = false;
                    break;
                }
                size -= Vpicture::kJpegHeaderLength;
            }
            if (static_cast<int64_t>(size) + maskLength > INT32_MAX) {
                logDamage(name, "record larger than a bundle can be", i);
                intact = false;
                break;
            }
            picture->m_jpegLength = size;
            total = size + maskLength;
            largestBody = size > largestBody ? size : largestBody;
        }
        picture->m_data = in.readBytes(total);
        if (picture->m_data.length() != total) {
            logDamage(name, "record overruns the bundle", i);
            intact = false;
            break;
        }
        // A picture of a negative or absurd size keeps its place in the
        // numbering but is dropped: nothing can draw it.
        const int64_t pixels = static_cast<int64_t>(picture->m_width) * picture->m_height;
        if (picture->m_width < 0 || picture->m_height < 0 || pixels > kMaxPicturePixels) {
            logDamage(name, "bad picture size", i);
            picture = nullptr;
        }
        pictures.push_back(picture);
    }
    in.close();
    if (!header.empty()) {
        m_jpegBuffer = allocByte(Vpicture::kJpegHeaderLength + largestBody);
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
        const std::string label = "Picture " + std::to_string(index) + " of bundle " + (m_name ? m_name->chars() : "");
        picture->decode(m_jpegBuffer, label.c_str());
    }
    picture->m_recentlyUsed = true;
    return picture;
}

} // namespace tarnby
