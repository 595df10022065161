// Whatever lies in the widget host's placement file (written by another
// version, truncated, binary, nested a hundred thousand levels deep) must
// not crash the host at start or lose the file. For every input, written as
// widgets.json, this loads it and checks that
//
//  - every placement has an identifier (no two alike), a kind, and either
//    both coordinates within bounds or none;
//  - the file is either still there byte for byte, or was kept aside byte
//    for byte and placed nothing;
//  - what was loaded saves and loads again unchanged.
#include "Platform/WidgetHost/PlacementStore.h"
#include "fuzz/FuzzSupport.h"

#include <set>

using namespace tarvelo::fuzzing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto folder = memoryBackedFolder() / "placements";
    static const auto file = folder / "widgets.json";
    std::filesystem::remove_all(folder);
    const std::string input(textOf(data, size));
    writeFile(file, input);

    std::string problem;
    const auto placements = platform::PlacementStore(file).load(problem);
    std::set<std::string> identifiers;
    for (const auto& placement : placements) {
        if (placement.identifier.empty() || placement.kind.empty() ||
            !identifiers.insert(placement.identifier).second)
            fail("a placement without an identifier or kind, or with one already used");
        if (placement.x.has_value() != placement.y.has_value())
            fail("a placement with one coordinate");
        for (const auto& coordinate : {placement.x, placement.y})
            if (coordinate && std::abs(*coordinate) > platform::PlacementStore::largestCoordinate)
                fail("a coordinate out of bounds");
    }

    const std::vector<std::filesystem::path> entries(std::filesystem::directory_iterator(folder), {});
    if (entries.size() != 1)
        fail("the folder does not hold exactly the file or the file kept aside");
    if (entries.front() != file) {
        if (!entries.front().filename().string().starts_with("widgets.json.unreadable-"))
            fail("the file went somewhere other than aside");
        if (!placements.empty())
            fail("a file kept aside placed widgets");
        if (problem.empty())
            fail("a file was kept aside without saying so");
    }
    if (readFile(entries.front()) != input)
        fail("the file or the file kept aside differs from the input");

    platform::PlacementStore store(file);
    if (!store.save(placements, problem))
        fail("what was loaded cannot be saved");
    problem.clear();
    if (store.load(problem) != placements || !problem.empty())
        fail("what was saved does not load back unchanged");
    return 0;
}
