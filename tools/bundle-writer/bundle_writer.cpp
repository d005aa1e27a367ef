// Picture bundle writer: records, the shared JPEG header and segment files.
#include "bundle-writer/bundle_writer.h"

#include <cstdio>
#include <filesystem>

#include "bundle-writer/picture_encoder.h"
#include "image/vpicture.h"
#include "runtime/files.h"
#include "writer-support/packed_number.h"

namespace tarnby::bundle {

namespace {

constexpr int32_t kHeader = Vpicture::kJpegHeaderLength;

// Where the standard settings put the frame header and the scan header in the
// stream start (start of image, picture info, two quantisation tables, frame
// header, four Huffman tables, scan header): the reader patches the size at
// fixed offsets, so the layout must be exactly this.
bool headerLayoutFits(const std::vector<uint8_t>& jpeg)
{
    return jpeg.size() > static_cast<size_t>(kHeader) && jpeg[0] == 0xFF && jpeg[1] == 0xD8 && jpeg[158] == 0xFF
           && jpeg[159] == 0xC0 && jpeg[160] == 0 && jpeg[161] == 17 && jpeg[162] == 8 && jpeg[167] == 3
           && jpeg[609] == 0xFF && jpeg[610] == 0xDA && jpeg[611] == 0 && jpeg[612] == 12;
}

bool sameHeader(const std::vector<uint8_t>& shared, const std::vector<uint8_t>& jpeg)
{
    for (int32_t i = 0; i < kHeader; ++i) {
        bool sizeField = i >= Vpicture::kJpegHeightOffset && i < Vpicture::kJpegWidthOffset + 2;
        if (!sizeField && shared[static_cast<size_t>(i)] != jpeg[static_cast<size_t>(i)]) {
            return false;
        }
    }
    return true;
}

}  // namespace

int32_t BundleWriter::fail(const std::string& message)
{
    m_error = message;
    return -1;
}

bool BundleWriter::checkSize(int32_t width, int32_t height, int32_t anchorX, int32_t anchorY)
{
    if (width <= 0 || height <= 0 || width > 32767 || height > 32767
        || static_cast<int64_t>(width) * height > (1 << 22)) {
        fail("picture " + std::to_string(count()) + ": bad size " + std::to_string(width) + "x"
             + std::to_string(height));
        return false;
    }
    if (anchorX < -32768 || anchorX > 32767 || anchorY < -32768 || anchorY > 32767) {
        fail("picture " + std::to_string(count()) + ": anchor outside 16 bits");
        return false;
    }
    return true;
}

int32_t BundleWriter::addRun(const uint8_t* rgba, int32_t width, int32_t height, int32_t anchorX, int32_t anchorY)
{
    if (!rgba || !checkSize(width, height, anchorX, anchorY)) {
        return rgba ? -1 : fail("no pixels");
    }
    return addRecord(Vpicture::kTypeRun, width, height, anchorX, anchorY, encodeRun(rgba, width, height));
}

int32_t BundleWriter::addJpeg(const uint8_t* pixels, int32_t channels, int32_t width, int32_t height, int32_t anchorX,
    int32_t anchorY, int32_t quality)
{
    if (!pixels || !checkSize(width, height, anchorX, anchorY)) {
        return pixels ? -1 : fail("no pixels");
    }
    std::vector<uint8_t> jpeg;
    std::string error;
    if (!encodeJpeg(pixels, channels, width, height, quality, jpeg, error)) {
        return fail("picture " + std::to_string(count()) + ": " + error);
    }
    if (!headerLayoutFits(jpeg)) {
        return fail("picture " + std::to_string(count()) + ": JPEG stream start is not the bundle layout");
    }
    if (m_jpegHeader.empty()) {
        m_jpegHeader.assign(jpeg.begin(), jpeg.begin() + kHeader);
    } else if (!sameHeader(m_jpegHeader, jpeg)) {
        return fail("picture " + std::to_string(count())
                    + ": JPEG header differs from the bundle's shared one (same quality for every JPEG)");
    }
    Record record { Vpicture::kTypeJpeg, width, height, anchorX, anchorY, {}, {} };
    record.body.assign(jpeg.begin() + kHeader, jpeg.end());
    if (channels == 4) {
        record.mask = encodeMask(pixels, width, height);
    }
    m_records.push_back(std::move(record));
    return count() - 1;
}

int32_t BundleWriter::addRecord(uint8_t type, int32_t width, int32_t height, int32_t anchorX, int32_t anchorY,
    const std::vector<uint8_t>& data)
{
    if (type == Vpicture::kTypeJpeg) {
        return fail("JPEG pictures go through addJpeg");
    }
    if (width < 0 || height < 0 || width > 32767 || height > 32767 || anchorX < -32768 || anchorX > 32767
        || anchorY < -32768 || anchorY > 32767) {
        return fail("picture " + std::to_string(count()) + ": size or anchor outside 16 bits");
    }
    m_records.push_back(Record { type, width, height, anchorX, anchorY, data, {} });
    return count() - 1;
}

void BundleWriter::build(std::vector<uint8_t>& out, std::vector<uint8_t>* cuts) const
{
    out.clear();
    if (cuts) {
        cuts->clear();
    }
    // Integers are atomic for segment cuts; raw bytes may be cut anywhere.
    auto integer = [&](uint32_t v) {
        size_t start = out.size();
        appendPackedNumber(out, v);
        if (cuts) {
            cuts->push_back(1);
            cuts->insert(cuts->end(), out.size() - start - 1, 0);
        }
    };
    auto raw = [&](const uint8_t* bytes, size_t n) {
        out.insert(out.end(), bytes, bytes + n);
        if (cuts) {
            cuts->insert(cuts->end(), n, 1);
        }
    };
    size_t largestBody = 0;
    for (const Record& r : m_records) {
        if (r.type == Vpicture::kTypeJpeg && r.body.size() > largestBody) {
            largestBody = r.body.size();
        }
    }
    integer(static_cast<uint32_t>(m_records.size()));
    integer(m_jpegHeader.empty() ? 0u : static_cast<uint32_t>(kHeader + largestBody));
    bool headerWritten = false;
    for (const Record& r : m_records) {
        integer(r.type);
        integer(static_cast<uint32_t>(r.width) & 0xFFFF);
        integer(static_cast<uint32_t>(r.height) & 0xFFFF);
        integer(static_cast<uint32_t>(r.anchorX) & 0xFFFF);
        integer(static_cast<uint32_t>(r.anchorY) & 0xFFFF);
        if (r.type == Vpicture::kTypeJpeg) {
            size_t size = r.body.size() + (headerWritten ? 0 : kHeader);
            integer(static_cast<uint32_t>(size));
            integer(static_cast<uint32_t>(r.mask.size()));
            if (!headerWritten) {
                raw(m_jpegHeader.data(), m_jpegHeader.size());
                headerWritten = true;
            }
            raw(r.body.data(), r.body.size());
            raw(r.mask.data(), r.mask.size());
        } else {
            integer(static_cast<uint32_t>(r.body.size()));
            raw(r.body.data(), r.body.size());
        }
    }
    if (cuts) {
        cuts->push_back(1);  // the very end
    }
}

std::vector<uint8_t> BundleWriter::bytes() const
{
    std::vector<uint8_t> out;
    build(out, nullptr);
    return out;
}

bool BundleWriter::canCutAt(size_t offset) const
{
    std::vector<uint8_t> out;
    std::vector<uint8_t> cuts;
    build(out, &cuts);
    return offset < cuts.size() && cuts[offset] != 0;
}

std::vector<std::vector<uint8_t>> BundleWriter::segments(int32_t segmentSize) const
{
    std::vector<uint8_t> out;
    std::vector<uint8_t> cuts;
    build(out, &cuts);
    const size_t size = static_cast<size_t>(segmentSize < 8 ? 8 : segmentSize);
    std::vector<std::vector<uint8_t>> result;
    size_t start = 0;
    while (start < out.size()) {
        size_t end = start + size < out.size() ? start + size : out.size();
        while (end > start + 1 && !cuts[end]) {
            --end;
        }
        result.emplace_back(out.begin() + static_cast<std::ptrdiff_t>(start),
            out.begin() + static_cast<std::ptrdiff_t>(end));
        start = end;
    }
    return result;
}

bool BundleWriter::writeSegments(const std::string& folder, const std::string& prefix, int32_t segmentSize)
{
    namespace fs = std::filesystem;
    std::vector<std::vector<uint8_t>> parts = segments(segmentSize);
    fs::path dir = folder.empty() ? fs::path(".") : fs::path(folder);
    std::error_code ec;
    fs::create_directories(dir, ec);
    size_t k = 0;
    for (; k < parts.size(); ++k) {
        fs::path path = dir / (prefix + std::to_string(k) + ".bin");
        if (!writeWholeFile(path.string(), parts[k].data(), parts[k].size())) {
            m_error = "cannot write " + path.string();
            return false;
        }
    }
    // A stale segment of an earlier, longer bundle would be read on as part
    // of this one: the reader goes on until a number is missing.
    for (;; ++k) {
        fs::path path = dir / (prefix + std::to_string(k) + ".bin");
        if (!fs::remove(path, ec)) {
            break;
        }
    }
    return true;
}

}  // namespace tarnby::bundle
