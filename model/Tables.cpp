#include "Tables.h"

#include "Big5.h"

#include <algorithm>

namespace vornik {

void clearAllMoves(MoveTable& moves) {
    for (Move& m : moves) {
        m.StepCount = 0;
        m.Name = MoveName{};
    }
}

void setMoveName(Move& move, std::string_view big5) {
    const std::size_t n = big5CutLength(big5, kMaxMoveNameBytes);
    move.Name = MoveName{};
    std::copy_n(big5.data(), n, move.Name.Bytes.data());
    move.Name.Length = static_cast<uint8_t>(n);
}

} // namespace vornik
