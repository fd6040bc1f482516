#include "gifpicture.h"

#include <array>
#include <cstdint>
#include <vector>

namespace desktop {

namespace {

class Bytes
{
public:
    explicit Bytes(QByteArrayView data) : m_data(data) {}
    bool has(qsizetype n) const { return n >= 0 && m_data.size() - m_pos >= n; }
    std::uint8_t byte() { return has(1) ? std::uint8_t(m_data[m_pos++]) : (m_failed = true, 0); }
    int word()
    {
        const int low = byte();
        return low | (byte() << 8);
    }
    void skip(qsizetype n) { has(n) ? void(m_pos += n) : void(m_failed = true); }
    QByteArrayView take(qsizetype n)
    {
        if (!has(n)) {
            m_failed = true;
            return {};
        }
        const QByteArrayView part = m_data.sliced(m_pos, n);
        m_pos += n;
        return part;
    }
    bool failed() const { return m_failed; }

private:
    QByteArrayView m_data;
    qsizetype m_pos = 0;
    bool m_failed = false;
};

using Palette = std::array<QRgb, 256>;

void readPalette(Bytes &in, int packed, Palette &palette)
{
    const int count = 2 << (packed & 7);
    for (int i = 0; i < count; ++i) {
        const int r = in.byte();
        const int g = in.byte();
        const int b = in.byte();
        palette[i] = qRgb(r, g, b);
    }
}

// The image's data sub-blocks, joined.
std::vector<std::uint8_t> dataBlocks(Bytes &in)
{
    std::vector<std::uint8_t> joined;
    for (int size = in.byte(); size > 0 && !in.failed(); size = in.byte()) {
        const QByteArrayView block = in.take(size);
        joined.insert(joined.end(), block.begin(), block.end());
    }
    return joined;
}

// Variable-length LZW as GIF uses it; false when the codes do not make a whole image.
bool decode(const std::vector<std::uint8_t> &codes, int minimumSize, std::vector<std::uint8_t> &out)
{
    if (minimumSize < 2 || minimumSize > 8)
        return false;
    constexpr int tableSize = 4096;
    std::vector<std::uint16_t> prefix(tableSize);
    std::vector<std::uint8_t> suffix(tableSize);
    std::vector<std::uint8_t> firstOf(tableSize);
    std::vector<std::uint8_t> stack(tableSize + 1);
    const int clear = 1 << minimumSize;
    const int end = clear + 1;
    for (int i = 0; i < clear; ++i) {
        suffix[i] = std::uint8_t(i);
        firstOf[i] = std::uint8_t(i);
    }
    int size = minimumSize + 1;
    int next = clear + 2;
    int previous = -1;
    std::uint32_t bits = 0;
    int held = 0;
    std::size_t pos = 0;
    std::size_t written = 0;
    const std::size_t wanted = out.size();
    while (written < wanted) {
        while (held < size) {
            if (pos >= codes.size())
                return false;
            bits |= std::uint32_t(codes[pos++]) << held;
            held += 8;
        }
        const int code = int(bits & ((1u << size) - 1));
        bits >>= size;
        held -= size;
        if (code == clear) {
            size = minimumSize + 1;
            next = clear + 2;
            previous = -1;
            continue;
        }
        if (code == end)
            return false;
        int depth = 0;
        int walk = code;
        if (previous < 0) {
            if (code >= clear)
                return false;
        } else {
            if (code > next || (code == next && next >= tableSize))
                return false;
            if (code == next) {
                // The code being defined: the previous string and its own first character.
                stack[depth++] = firstOf[previous];
                walk = previous;
            }
        }
        while (walk >= clear) {
            stack[depth++] = suffix[walk];
            walk = prefix[walk];
        }
        stack[depth++] = std::uint8_t(walk);
        if (previous >= 0 && next < tableSize) {
            prefix[next] = std::uint16_t(previous);
            suffix[next] = std::uint8_t(walk);
            firstOf[next] = firstOf[previous];
            ++next;
            if (next == (1 << size) && size < 12)
                ++size;
        }
        previous = code;
        while (depth > 0 && written < wanted)
            out[written++] = stack[--depth];
    }
    return true;
}

} // namespace

QImage readGifPicture(QByteArrayView data)
{
    Bytes in(data);
    const QByteArrayView signature = in.take(6);
    if (signature != QByteArrayView("GIF87a") && signature != QByteArrayView("GIF89a"))
        return {};
    const int width = in.word();
    const int height = in.word();
    const int screenFlags = in.byte();
    in.skip(2); // background colour and aspect ratio
    if (width <= 0 || height <= 0 || width > 4096 || height > 4096)
        return {};
    Palette global{};
    if (screenFlags & 0x80)
        readPalette(in, screenFlags, global);
    while (!in.failed()) {
        const int kind = in.byte();
        if (kind == 0x21) { // an extension: nothing here needs one, except transparency
            const int label = in.byte();
            const std::vector<std::uint8_t> body = dataBlocks(in);
            if (label == 0xF9 && !body.empty() && (body[0] & 1))
                return {};
            continue;
        }
        if (kind != 0x2C)
            return {};
        const int left = in.word();
        const int top = in.word();
        const int w = in.word();
        const int h = in.word();
        const int imageFlags = in.byte();
        // A picture that covers the whole screen, stored row after row: the only kind drawn.
        if (left != 0 || top != 0 || w != width || h != height || (imageFlags & 0x40))
            return {};
        Palette local = global;
        if (imageFlags & 0x80)
            readPalette(in, imageFlags, local);
        else if (!(screenFlags & 0x80))
            return {};
        const int minimumSize = in.byte();
        const std::vector<std::uint8_t> codes = dataBlocks(in);
        if (in.failed())
            return {};
        std::vector<std::uint8_t> indices(std::size_t(w) * std::size_t(h));
        if (!decode(codes, minimumSize, indices))
            return {};
        QImage image(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y) {
            auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
            const std::uint8_t *source = indices.data() + std::size_t(y) * std::size_t(w);
            for (int x = 0; x < w; ++x)
                row[x] = local[source[x]];
        }
        return image;
    }
    return {};
}

} // namespace desktop
