// Randomized loading: mutated profiles, byte by byte and value by value, must either load into
// tables that save and load again unchanged, or be refused with the tables left exactly as they were.
// The run is seeded and so repeats exactly; VORNIK_PROFILE_FUZZ_SEED picks another seed.

#include "Profile.h"
#include "ProfileTestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace vornik {
namespace {

using Json = nlohmann::ordered_json;
using test::sameTables;

Configuration baseConfiguration() {
    Configuration c;
    c.keyBindings[0] = {1, AutoFireAutomatic, 2};
    c.keyBindings[42] = {2, AutoFireNone, 0};
    c.keyBindings[99] = {0, AutoFireWhileHeld, 10};
    c.joystickBindings[1][kEntryUp] = {BindingKeys, 17, 88, 0, 2, AutoFireNone, 0};
    c.joystickBindings[3][buttonEntry(2)] = {BindingMove, 5, 0, 0, 0, AutoFireAutomatic, 4};
    c.joystickBindings[32][kJoystickEntries] = {BindingNone, 200, 0, 0, 1, 0, 0};
    Move& m = c.moves[2];
    m.StepCount = 3;
    m.Steps[1] = {40, 0};
    m.Steps[2] = {39, 16};
    m.Steps[3] = {65, 0};
    m.Speed = 10;
    m.RepeatCount = 1;
    test::setName(m, "\xAA\x69\xB0\xCA\xAE\xB1");
    Move& n = c.moves[5];
    n.StepCount = 1;
    n.Steps[1] = {255, 255};
    n.RepeatCount = 300;
    n.Overlap = 1;
    test::setName(n, "A");
    return c;
}

class Mutator {
public:
    explicit Mutator(uint64_t seed) : m_rng(seed) {}

    std::size_t below(std::size_t n) { return n ? static_cast<std::size_t>(m_rng() % n) : 0; }

    // One to four edits of the raw text.
    std::string bytes(std::string text) {
        static const std::vector<std::string> tokens = {
            "{",         "}",         "[",       "]",       ",",    ":",     "\"",   "null",     "true",
            "false",     "-1",        "0",       "256",     "101",  "1e400", "1.5",  "-0",       "\"key\"",
            "\"speed\"", "\"moves\"", "\\u0000", "\\ud800", "\\\"", "波",    "\xFF", "\xE6\xB3", " "};
        for (std::size_t edits = 1 + below(4); edits > 0; --edits) {
            const std::size_t at = below(text.size() + 1);
            switch (below(5)) {
            case 0:
                if (at < text.size())
                    text[at] = static_cast<char>(below(256));
                break;
            case 1:
                if (at < text.size())
                    text[at] = "{}[]\",:0123456789-.eE \\"[below(24)];
                break;
            case 2:
                text.insert(at, tokens[below(tokens.size())]);
                break;
            case 3:
                text.erase(at, 1 + below(16));
                break;
            default: {
                const std::string piece = text.substr(below(text.size()), 1 + below(64));
                text.insert(at, piece);
                break;
            }
            }
        }
        return text;
    }

    // One to three edits of the parsed document: values swapped for ones at and past the edges of
    // their ranges or of another type, fields removed or added, list elements repeated.
    std::string values(Json doc, const std::vector<Json::json_pointer>& places) {
        for (std::size_t edits = 1 + below(3); edits > 0; --edits) {
            const Json::json_pointer& place = places[below(places.size())];
            try {
                if (!doc.contains(place))
                    continue;
                const Json::json_pointer parent = place.parent_pointer();
                Json& container = place.empty() ? doc : doc[parent];
                switch (below(6)) {
                case 0:
                case 1:
                case 2:
                    doc[place] = interesting();
                    break;
                case 3:
                    if (place.empty())
                        break;
                    if (container.is_object())
                        container.erase(place.back());
                    else
                        container.erase(std::stoul(place.back()));
                    break;
                case 4:
                    if (!place.empty() && container.is_array())
                        container.push_back(doc[place]);
                    break;
                default:
                    if (doc[place].is_object())
                        doc[place]["extra"] = interesting();
                    break;
                }
            } catch (const Json::exception&) {
                // an edit that no longer fits the document; the others still apply
            }
        }
        return below(2) ? doc.dump() : doc.dump(2);
    }

private:
    Json interesting() {
        static const std::vector<int64_t> numbers = {
            -1, 0,  1,  2,   3,   4,   10,  11,  16,  32,
            33, 36, 37, 100, 101, 255, 256, 300, 301, std::numeric_limits<int64_t>::min()};
        switch (below(10)) {
        case 0:
            return std::numeric_limits<uint64_t>::max();
        case 1:
            return 1.5;
        case 2:
            return std::string(below(2) ? 251 : 250, 'a');
        case 3:
            return below(2) ? "\xF0\x9F\x98\x80" : "\xE6\xB3\xA2 \x7F";
        case 4:
            return below(2) ? Json(nullptr) : Json(below(2) == 1);
        case 5:
            return below(2) ? Json::array() : Json::object();
        case 6:
            return Json::array({below(256), below(256)});
        default:
            return numbers[below(numbers.size())];
        }
    }

    std::mt19937_64 m_rng;
};

void collectPlaces(const Json& value, const Json::json_pointer& at, std::vector<Json::json_pointer>& out) {
    out.push_back(at);
    if (value.is_object()) {
        for (const auto& item : value.items())
            collectPlaces(item.value(), at / item.key(), out);
    } else if (value.is_array()) {
        for (std::size_t i = 0; i < value.size(); ++i)
            collectPlaces(value[i], at / i, out);
    }
}

TEST(ProfileFuzz, MutatedProfilesLoadSoundlyOrChangeNothing) {
    constexpr int kRounds = 100000;
    uint64_t seed = 20261207;
    if (const char* s = std::getenv("VORNIK_PROFILE_FUZZ_SEED"))
        seed = std::strtoull(s, nullptr, 10);
    RecordProperty("seed", std::to_string(seed));

    std::string baseText;
    ASSERT_TRUE(profileText(baseConfiguration(), baseText).ok);
    const Json baseDoc = Json::parse(baseText);
    std::vector<Json::json_pointer> places;
    collectPlaces(baseDoc, Json::json_pointer(), places);

    // The tables a refused load must leave: different from anything the base profile holds.
    const Configuration before = test::richConfiguration();
    Configuration config = before;
    const std::string prefix = "Cannot load \"fuzz.vornik\": ";
    Mutator mutate(seed);
    int accepted = 0;
    for (int round = 0; round < kRounds; ++round) {
        const std::string mutant = mutate.below(2) ? mutate.bytes(baseText) : mutate.values(baseDoc, places);
        const ProfileResult r = parseProfile(mutant, "fuzz.vornik", config);
        if (!r.ok) {
            ASSERT_EQ(r.message.rfind(prefix, 0), 0u) << "seed " << seed << " round " << round << ": " << r.message;
            ASSERT_GT(r.message.size(), prefix.size());
            ASSERT_TRUE(sameTables(config, before)) << "seed " << seed << " round " << round << ":\n" << mutant;
            continue;
        }
        ++accepted;
        std::string again;
        const ProfileResult saved = profileText(config, again);
        ASSERT_TRUE(saved.ok) << "seed " << seed << " round " << round << ": " << saved.message << "\n" << mutant;
        Configuration reloaded;
        ASSERT_TRUE(parseProfile(again, "again.vornik", reloaded).ok) << round;
        ASSERT_TRUE(sameTables(reloaded, config)) << "seed " << seed << " round " << round << ":\n" << mutant;
        config = before;
    }
    RecordProperty("accepted", accepted);
    // Both outcomes must be common, or the mutations explore only one side of the checks.
    EXPECT_GT(accepted, kRounds / 50);
    EXPECT_GT(kRounds - accepted, kRounds / 2);
}

} // namespace
} // namespace vornik
