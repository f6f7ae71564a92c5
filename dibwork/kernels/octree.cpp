#include "octree.h"

#include <array>
#include <new>

#include "pixel_rows.h"

namespace dibwork {
namespace {

constexpr int kDepth = 8;

struct OctreeNode {
    bool leaf = false;
    uint32_t count = 0;
    // 64-bit sums: a leaf of more than 16 million white pixels would
    // overflow 32 bits and come out as a wrong colour.
    uint64_t sumR = 0, sumG = 0, sumB = 0;
    std::array<OctreeNode *, 8> child{};
    OctreeNode *nextReducible = nullptr;
};

class Octree {
public:
    explicit Octree(int leafLimit) : limit_(leafLimit) {}
    ~Octree() { Free(root_); }
    Octree(const Octree &) = delete;
    Octree &operator=(const Octree &) = delete;

    void Add(uint8_t r, uint8_t g, uint8_t b) {
        Insert(r, g, b);
        while (leaves_ > limit_ && Reduce()) {
        }
    }

    bool Collect(std::vector<PaletteColour> &out) const {
        try {
            Walk(root_, out);
        } catch (const std::bad_alloc &) {
            return false;
        }
        return true;
    }

private:
    OctreeNode *NewNode(int depth) {
        auto *node = new (std::nothrow) OctreeNode;
        if (!node) return nullptr;
        if (depth == kDepth) {
            node->leaf = true;
            ++leaves_;
        } else {
            node->nextReducible = reducible_[static_cast<size_t>(depth)];
            reducible_[static_cast<size_t>(depth)] = node;
        }
        return node;
    }

    // A failed allocation ends this pixel's insertion.
    void Insert(uint8_t r, uint8_t g, uint8_t b) {
        OctreeNode **link = &root_;
        for (int depth = 0;; ++depth) {
            if (!*link && !(*link = NewNode(depth))) return;
            OctreeNode *node = *link;
            if (node->leaf) {
                ++node->count;
                node->sumR += r;
                node->sumG += g;
                node->sumB += b;
                return;
            }
            const int shift = 7 - depth;
            const unsigned index = (((r >> shift) & 1u) << 2) | (((g >> shift) & 1u) << 1) | ((b >> shift) & 1u);
            link = &node->child[index];
        }
    }

    // Folds the newest node of the deepest reducible level into a leaf.
    bool Reduce() {
        int depth = kDepth - 1;
        while (depth > 0 && !reducible_[static_cast<size_t>(depth)]) --depth;
        OctreeNode *node = reducible_[static_cast<size_t>(depth)];
        if (!node) return false;
        reducible_[static_cast<size_t>(depth)] = node->nextReducible;
        int merged = 0;
        for (OctreeNode *&c : node->child) {
            if (!c) continue;
            node->count += c->count;
            node->sumR += c->sumR;
            node->sumG += c->sumG;
            node->sumB += c->sumB;
            delete c;
            c = nullptr;
            ++merged;
        }
        node->leaf = true;
        leaves_ = leaves_ + 1 - merged;
        return true;
    }

    static void Walk(const OctreeNode *node, std::vector<PaletteColour> &out) {
        if (!node) return;
        if (node->leaf) {
            if (node->count == 0) return;
            out.push_back({static_cast<uint8_t>(node->sumR / node->count),
                           static_cast<uint8_t>(node->sumG / node->count),
                           static_cast<uint8_t>(node->sumB / node->count)});
            return;
        }
        for (const OctreeNode *c : node->child) Walk(c, out);
    }

    static void Free(OctreeNode *node) {
        if (!node) return;
        for (OctreeNode *c : node->child) Free(c);
        delete node;
    }

    int limit_;
    int leaves_ = 0;
    OctreeNode *root_ = nullptr;
    std::array<OctreeNode *, kDepth> reducible_{};
};

}  // namespace

bool BuildOctreePalette(const PixelView &src, std::vector<PaletteColour> &palette, int leafLimit) {
    palette.clear();
    if (!IsUsableView(src) || src.bitCount != 24 || leafLimit < 1) return false;
    Octree tree(leafLimit);
    for (int row = 0; row < src.height; ++row) {
        const uint8_t *p = MemRow(src, row);
        for (int x = 0; x < src.width; ++x, p += 3) tree.Add(p[2], p[1], p[0]);
    }
    if (!tree.Collect(palette)) return false;

    const PaletteColour white{255, 255, 255}, black{0, 0, 0};
    bool hasWhite = false, hasBlack = false;
    for (const PaletteColour &c : palette) {
        hasWhite = hasWhite || c == white;
        hasBlack = hasBlack || c == black;
    }
    try {
        if (!hasWhite) palette.push_back(white);
        if (!hasBlack) palette.push_back(black);
    } catch (const std::bad_alloc &) {
        return false;
    }
    return true;
}

}  // namespace dibwork
