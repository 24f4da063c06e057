// Converts the scikit-learn digits set (digits.csv.gz: per line 64 pixel
// counts 0..16 of an 8x8 image, then the digit) into IDX image and label
// files, holding every fourth image out as the test set:
//   digits_to_idx digits.csv.gz OUTPUT_FOLDER
// writes digits-{train,test}-{images,labels}.idx into the folder.
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int PIXELS = 64;
constexpr int SIDE = 8;
constexpr int MAX_COUNT = 16;  // pixel counts run 0..16

struct Set {
    std::vector<unsigned char> pixels, labels;
};

void putBigEndian(FILE* f, uint32_t v)
{
    const unsigned char b[4] = {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
    std::fwrite(b, 1, 4, f);
}

bool writeSet(const std::filesystem::path& folder, const char* name, const Set& set)
{
    const uint32_t count = uint32_t(set.labels.size());
    const auto images = folder / (std::string("digits-") + name + "-images.idx");
    const auto labels = folder / (std::string("digits-") + name + "-labels.idx");
    FILE* f = std::fopen(images.c_str(), "wb");
    if (!f) {
        return false;
    }
    putBigEndian(f, 0x00000803);
    putBigEndian(f, count);
    putBigEndian(f, SIDE);
    putBigEndian(f, SIDE);
    std::fwrite(set.pixels.data(), 1, set.pixels.size(), f);
    bool ok = std::fclose(f) == 0;
    f = std::fopen(labels.c_str(), "wb");
    if (!f) {
        return false;
    }
    putBigEndian(f, 0x00000801);
    putBigEndian(f, count);
    std::fwrite(set.labels.data(), 1, set.labels.size(), f);
    return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: digits_to_idx digits.csv.gz OUTPUT_FOLDER\n");
        return 2;
    }
    gzFile in = gzopen(argv[1], "rb");
    if (!in) {
        std::fprintf(stderr, "digits_to_idx: cannot open %s\n", argv[1]);
        return 1;
    }
    Set train, test;
    char line[1024];
    int lineNumber = 0;
    while (gzgets(in, line, sizeof line)) {
        ++lineNumber;
        int values[PIXELS + 1];
        const char* p = line;
        int read = 0;
        for (; read <= PIXELS; ++read) {
            char* end;
            const long v = std::strtol(p, &end, 10);
            if (end == p || v < 0 || v > MAX_COUNT) {
                break;
            }
            values[read] = int(v);
            p = *end == ',' ? end + 1 : end;
        }
        if (read != PIXELS + 1 || values[PIXELS] > 9) {
            std::fprintf(stderr, "digits_to_idx: %s: line %d is not 64 pixels and a digit\n",
                         argv[1], lineNumber);
            gzclose(in);
            return 1;
        }
        Set& set = lineNumber % 4 == 0 ? test : train;
        for (int i = 0; i < PIXELS; ++i) {
            set.pixels.push_back(uint8_t((values[i] * 255 + MAX_COUNT / 2) / MAX_COUNT));
        }
        set.labels.push_back(uint8_t(values[PIXELS]));
    }
    gzclose(in);
    std::error_code error;
    std::filesystem::create_directories(argv[2], error);
    if (train.labels.empty() || !writeSet(argv[2], "train", train) ||
        !writeSet(argv[2], "test", test)) {
        std::fprintf(stderr, "digits_to_idx: cannot write the IDX files into %s\n", argv[2]);
        return 1;
    }
    std::printf("digits_to_idx: %zu training and %zu test images\n", train.labels.size(),
                test.labels.size());
    return 0;
}
