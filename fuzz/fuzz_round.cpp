// Whole sessions driven by the input: each step takes an operation and its arguments from the
// bytes, and the session checks every invariant after it.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "drill_session.h"
#include "keypad_table.h"

namespace {

using rekendo::testing::DrillSession;
using rekendo::testing::Pick;

enum Step {
  kChoose,
  kCancel,
  kData,
  kStart,
  kNext,
  kKey,
  kRawKey,
  kKnown,
  kClear,
  kSubmit,
  kTicks
};

void Play(FuzzedDataProvider& input, DrillSession& session) {
  switch (input.ConsumeIntegralInRange<int>(kChoose, kTicks)) {
    case kChoose: {
      const auto pick =
          static_cast<Pick>(input.ConsumeIntegralInRange(0, rekendo::testing::kPickCount - 1));
      const int ticks = input.ConsumeIntegralInRange(0, 45);
      session.ChooseProblemFile(pick, input.ConsumeRandomLengthString(1024), ticks);
      break;
    }
    case kCancel:
      session.CancelDialog(input.ConsumeIntegralInRange(0, 45));
      break;
    case kData: {
      const bool missing = input.ConsumeBool();
      const std::string judgement = input.ConsumeRandomLengthString(512);
      session.LoadData(judgement, input.ConsumeRandomLengthString(1024), missing);
      break;
    }
    case kStart:
      session.Start();
      break;
    case kNext:
      session.Next();
      break;
    case kKey: {
      const auto& key = rekendo::kKeypad[input.ConsumeIntegralInRange(0, rekendo::kKeyCount - 1)];
      if (key.role == rekendo::KeyRole::Clear) {
        session.Clear();
      } else if (key.role == rekendo::KeyRole::Submit) {
        session.Submit();
      } else {
        session.Type(key.sjis);
      }
      break;
    }
    case kRawKey:
      session.Type(input.ConsumeRandomLengthString(8));
      break;
    case kKnown:
      session.TypeAcceptedAnswer(input.ConsumeIntegral<std::uint8_t>());
      break;
    case kClear:
      session.Clear();
      break;
    case kSubmit:
      session.Submit();
      break;
    default:
      session.Ticks(input.ConsumeIntegralInRange(1, 45));
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  DrillSession session(input.ConsumeIntegral<std::uint32_t>());
  while (input.remaining_bytes() > 0 && session.ok()) Play(input, session);
  if (!session.ok()) {
    std::fprintf(stderr, "round: %s\n", session.violation().c_str());
    std::abort();
  }
  return 0;
}
