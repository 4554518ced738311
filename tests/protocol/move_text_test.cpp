// The protocol board's moves (move counts, with the key after every move and
// the board after the take-backs), coordinate move text, the expected ponder
// reply, and the lines of EPD files.
#include <gtest/gtest.h>

#include "board/move_text.h"
#include "protocol/epd_lines.h"
#include "protocol/protocol_test_util.h"
#include "support/engine_session.h"

namespace {

using namespace protocol_test;

TMove Move(int from, int to, TPiece promote = 0, std::uint8_t bits = 0) {
  return TMove{std::uint8_t(from), std::uint8_t(to), promote, bits};
}

TEST(ProtocolRules, MoveCountsOfKnownPositions) {
  struct Case {
    const char* fen;
    int depth;
    std::uint64_t nodes;
  };
  const Case cases[] = {
      {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 3, 97862},
      {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 4, 43238},
      {"r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 3, 9467},
      {"rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", 3, 62379},
  };
  for (const Case& c : cases) {
    TProtocolBoard board = BoardFromFen(c.fen);
    EXPECT_EQ(Perft(board, c.depth), c.nodes) << c.fen;
    EXPECT_TRUE(Snapshot(board) == Snapshot(BoardFromFen(c.fen))) << c.fen;
  }
}

TEST(ProtocolMoveText, CoordinateTextOutAndBackForEveryGeneratedMove) {
  EXPECT_EQ(MoveText(Move(52, 44, Queen, MovePawn)), "e2e3");  // a stale piece without the flag
  for (const char* fen :
       {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
        "r2q1rk1/pP1p2pp/Q4n2/bbp1p3/Np6/1B3NBn/pPPP1PPP/R3K2R b KQ -", "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N w - -",
        "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6"}) {
    const TProtocolBoard board = BoardFromFen(fen);
    ASSERT_GT(board.FirstMove[1], 0);
    for (int i = 0; i < board.FirstMove[1]; ++i) {
      const TMove m = board.MoveStack[i].m;
      TMove parsed;
      EXPECT_EQ(board.ParseCoordMove(MoveText(m), parsed), i) << fen << " " << MoveText(m);
      EXPECT_TRUE(parsed.from == m.from && parsed.to == m.to) << fen << " " << MoveText(m);
    }
  }
}

TEST(ProtocolMoveText, PromotionLettersAndMalformedText) {
  const TProtocolBoard board = BoardFromFen("4k3/P7/8/8/8/8/8/4K3 w - -");
  const std::pair<const char*, TPiece> letters[] = {{"a7a8", Queen},   {"a7a8x", Queen},  {"a7a8R", Rook},
                                                    {"a7a8b", Bishop}, {"a7a8N", Knight}, {"a7a8nq", Knight}};
  for (auto [text, piece] : letters)  // only five characters count
    EXPECT_EQ(GeneratedMove(board, text).promote, piece) << text;
  TMove parsed;
  for (const char* bad : {"", "a7", "a7a", "i7a8", "a7a9", "a0a8", "A7a8", "a7-a8", "e1e3", "e8d8"})
    EXPECT_EQ(board.ParseCoordMove(bad, parsed), -1) << bad;
}

// Is the expected reply legal after the best move? The board is left as it was;
// the promotion piece counts, flags do not, and the generated reply is given back.
TEST(ProtocolMoveText, ExpectedReplyTest) {
  TProtocolBoard board = BoardFromFen("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3");
  const auto before = Snapshot(board);
  const int listSize = board.FirstMove[1];
  const TMove c7c5 = GeneratedMove(board, "c7c5"), e7e5 = Move(12, 28);
  EXPECT_TRUE(board.ExpectedReplyIsLegal(c7c5, Move(62, 45)));
  EXPECT_FALSE(board.ExpectedReplyIsLegal(c7c5, e7e5));          // a move of the wrong side
  EXPECT_FALSE(board.ExpectedReplyIsLegal(Move(51, 35), e7e5));  // not a move of this position
  EXPECT_TRUE(Snapshot(board) == before && board.FirstMove[1] == listSize && board.Ply == 0u);
  board = BoardFromFen("8/P7/7k/8/8/8/p7/4K3 w - -");  // a8=Q gives no check
  const TMove up = GeneratedMove(board, "a7a8q");
  TMove reply;
  EXPECT_TRUE(board.ExpectedReplyIsLegal(up, Move(48, 56, Knight), &reply));
  EXPECT_EQ(MoveText(reply), "a2a1n");
  EXPECT_FALSE(board.ExpectedReplyIsLegal(up, Move(48, 56, 0)));
  // After ...Rg3+ the generated e7f6 leaves the king in check (once a soak game's ponder move).
  board = BoardFromFen("4k3/1R2Bp2/r1p3p1/4P3/2R2bP1/5r1P/P5K1/8 b - - 6 35");
  const auto beforeCheck = Snapshot(board);
  const TMove rookCheck = GeneratedMove(board, "f3g3");
  EXPECT_FALSE(board.ExpectedReplyIsLegal(rookCheck, Move(12, 21)));
  EXPECT_TRUE(board.ExpectedReplyIsLegal(rookCheck, Move(54, 63)));  // Kh1
  EXPECT_TRUE(Snapshot(board) == beforeCheck && board.Ply == 0u);
}

// Through the engine: Black's best reply is to promote (four men, so the search answers).
class UciPonderMove : public EngineSession {};

TEST_F(UciPonderMove, AnExpectedPromotionIsWrittenWithItsLetter) {
  const auto best = Go("fen k7/8/8/8/8/8/1p4PP/7K w - - 0 1", "go depth 5", 20000);
  ASSERT_TRUE(best);
  const std::size_t ponder = best->find(" ponder ");
  ASSERT_NE(ponder, std::string::npos) << *best;
  EXPECT_EQ(best->substr(ponder + 8), "b2b1q") << *best;
}

// What the EPD run's own files do not reach.
TEST(EpdLines, TheMirrorSwapsRightsAndEnPassantAndEntriesEndAtANonPosition) {
  EXPECT_EQ(MirrorEpd("r3k2r/8/8/8/4Pp2/8/8/R3K2R b Kq e3 bm O-O; id \"x\";"),
            "r3k2r/8/8/4pP2/8/8/8/R3K2R w Qk e6 bm O-O; id \"x\";");
  EXPECT_EQ(MirrorEpd("8/8/8/8/8/8/8/K6k w - c6"), "k6K/8/8/8/8/8/8/8 b - c3");
  EXPECT_FALSE(IsFenLine("8/8/8/8/8/8/8K6k w - -")) << "7 ranks";
  EXPECT_FALSE(IsFenLine("8/8/8/8/8/8/8/K6k x - -")) << "no side";
  const std::vector<TEpdEntry> entries = ReadEpdEntries({"3r1k2/4npp1/1ppr3p/p6P/P2PPPP1/1NR5/5K2/2R5 w - - bm d5",
                                                         "8/8/8/8/8/8/8/K6k w - -", "", "8/8/8/8/8/8/8/K6k w - -"});
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].label, "1.") << "an operand without ';' still gets its number";
  EXPECT_TRUE(entries[1].position == "8/8/8/8/8/8/8/K6k w - -" && entries[1].label == "2.");
}

}  // namespace
