#include <gtest/gtest.h>

#include "host/plot/DrawBatches.h"

namespace {

using qv::host::plot::Batch;
using qv::host::plot::DrawBatches;
using qv::host::plot::Pen;
using qv::host::plot::PathOp;
using qv::host::plot::PathStep;
using qv::host::plot::PlacedText;
using qv::host::plot::Rgb;

const Rgb kRed{1, 0, 0};
const Rgb kGreen{0, 1, 0};

struct Item {
    char kind;  // 's' stroke, 'f' fill, 't' text
    Rgb colour;
    double box[4];  // on a 1000 x 1000 sheet
};

// Each item is tagged by its place in the sequence (a path point's x, or the text); the result
// is the batches as the tags they hold, in drawing order.
std::vector<std::vector<int>> batchesOf(const std::vector<Item>& items) {
    DrawBatches batches(1000, 1000);
    for (size_t i = 0; i < items.size(); ++i) {
        const Item& item = items[i];
        const std::vector<PathOp> path{{PathStep::Move, {static_cast<double>(i), 0.0}}};
        switch (item.kind) {
            case 's':
                batches.addStroke(Pen{item.colour, 1.0, true}, path, item.box);
                break;
            case 'f':
                batches.addFill(item.colour, path, item.box);
                break;
            default:
                batches.addText(item.colour, PlacedText{std::to_string(i), {}}, item.box);
                break;
        }
    }
    std::vector<std::vector<int>> result;
    for (const Batch& batch : batches.take()) {
        std::vector<int> tags;
        for (const PathOp& op : batch.path) {
            tags.push_back(static_cast<int>(op.p.x));
        }
        for (const PlacedText& text : batch.texts) {
            tags.push_back(std::stoi(text.utf8));
        }
        result.push_back(tags);
    }
    return result;
}

// Items join an earlier batch of their kind only when nothing drawn since lies under them.
TEST(DrawBatches, JoinOnlyWhereTheOrderDoesNotShow) {
    const struct {
        const char* name;
        std::vector<Item> items;
        std::vector<std::vector<int>> batches;
    } cases[] = {
        {"one pen, apart",
         {{'s', kRed, {0, 0, 10, 10}}, {'s', kRed, {500, 500, 510, 510}}},
         {{0, 1}}},
        {"one pen over itself",
         {{'s', kRed, {0, 0, 10, 10}}, {'s', kRed, {5, 5, 15, 15}}},
         {{0, 1}}},
        {"a later red over green that covers the first red",
         {{'s', kRed, {0, 0, 10, 10}}, {'s', kGreen, {0, 0, 10, 10}}, {'s', kRed, {0, 0, 10, 10}}},
         {{0}, {1}, {2}}},
        {"a later red away from the green",
         {{'s', kRed, {0, 0, 10, 10}}, {'s', kGreen, {0, 0, 10, 10}},
          {'s', kRed, {800, 800, 810, 810}}},
         {{0, 2}, {1}}},
        {"fills of one colour apart share a batch, overlapping ones do not",
         {{'f', kRed, {0, 0, 10, 10}}, {'f', kRed, {500, 0, 510, 10}}, {'f', kRed, {5, 5, 20, 20}}},
         {{0, 1}, {2}}},
        {"a stroke, a fill and a text each keep their kind",
         {{'s', kRed, {0, 0, 10, 10}}, {'f', kRed, {500, 500, 510, 510}},
          {'t', kRed, {900, 900, 910, 910}}, {'s', kRed, {600, 0, 610, 10}}},
         {{0, 3}, {1}, {2}}},
        {"a text over a fill drawn after the text's batch starts a new batch",
         {{'t', kRed, {0, 0, 10, 10}}, {'f', kGreen, {100, 100, 200, 200}},
          {'t', kRed, {150, 150, 160, 160}}},
         {{0}, {1}, {2}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(batchesOf(c.items), c.batches) << c.name;
    }
}

}  // namespace
