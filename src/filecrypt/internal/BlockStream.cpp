#include "filecrypt/internal/BlockStream.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>

#include "filecrypt/internal/ChunkWorkers.h"
#include "filecrypt/internal/MappedReadGuard.h"
#include "runtime/SecretWipe.h"

namespace kiv {

namespace {

// Blocks per piece of work that one thread takes at a time: small enough to share a chunk evenly,
// large enough that taking one costs nothing.
constexpr std::size_t kPieceBytes = 64 << 10;
constexpr int kMostThreads = 8;

int HelperCount(const FileRunSpeed& speed) {
    int threads = speed.threads;
    if (threads <= 0) threads = static_cast<int>(std::thread::hardware_concurrency());
    return std::clamp(threads, 1, kMostThreads) - 1;
}

}  // namespace

BlockStream::BlockStream(std::int64_t blocks, std::size_t inWidth, std::size_t outWidth,
                         std::size_t trimLast)
    : blocks_(blocks), inWidth_(inWidth), outWidth_(outWidth), trimLast_(trimLast) {}

BlockStream::End BlockStream::Run(const Steps& steps, const FileRunSpeed& speed,
                                  FileRunObserver& observer) const {
    if (blocks_ <= 0) return End::Completed;
    const std::size_t wider = std::max(inWidth_, outWidth_);
    const auto chunk = static_cast<std::int64_t>(std::max<std::size_t>(
        1, static_cast<std::size_t>(std::max<std::int64_t>(speed.chunkBytes, 1)) / wider));
    const std::int64_t chunks = (blocks_ + chunk - 1) / chunk;
    const bool parallel =
        steps.concurrent && blocks_ * static_cast<std::int64_t>(wider) >= speed.parallelFrom;

    const auto bufferBlocks = static_cast<std::size_t>(std::min(chunk, blocks_));
    ByteView in[2];
    // Sized to the entry, never more than a chunk, and not cleared first: every byte written is
    // coded into them before.
    std::unique_ptr<std::uint8_t[]> out[2];
    const std::size_t outBytes = bufferBlocks * outWidth_;
    for (int i = 0; i < (chunks > 1 ? 2 : 1); ++i)
        out[i] = std::make_unique_for_overwrite<std::uint8_t[]>(outBytes);
    // Plain bytes pass through them when decrypting.
    struct WipeWhenDone {
        bool plain;
        std::size_t bytes;
        std::unique_ptr<std::uint8_t[]>* buffers;
        ~WipeWhenDone() {
            for (int i = 0; plain && i < 2; ++i)
                WipeBytes(buffers[i].get(), buffers[i] ? bytes : 0);
        }
    } wipe{steps.plainOut, outBytes, out};
    // A mapped chunk whose pages could not be read; checked once its coding is finished.
    std::atomic<bool> faulted{false};
    // Declared after the buffers, so that its helpers are joined before the buffers go.
    ChunkWorkers workers(parallel ? HelperCount(speed) : 0);
    auto countOf = [&](std::int64_t c) {
        return static_cast<std::size_t>(std::min(chunk, blocks_ - c * chunk));
    };
    const std::size_t pieceBlocks = std::max<std::size_t>(1, kPieceBytes / wider);

    bool haveInput = steps.read(countOf(0) * inWidth_, in[0]);
    for (std::int64_t c = 0;; ++c) {
        // Here chunk c is read (when haveInput) and chunk c - 1 is coded but not yet written.
        // One job codes chunk c and writes chunk c - 1, the write a piece of its own that any
        // thread may take: the writes stay in order, one job after the other, and a thread that
        // is done coding while the write runs does not wait for the owner to come back from it.
        const bool coding = c < chunks && haveInput;
        const bool writing = c > 0;
        const std::size_t count = coding ? countOf(c) : 0;
        const std::size_t pieces = (count + pieceBlocks - 1) / pieceBlocks + (writing ? 1 : 0);
        const std::uint8_t* from = coding ? in[c % 2].data() : nullptr;
        std::uint8_t* to = out[c % 2].get();
        const bool mapped = coding && in[c % 2].Mapped();
        const std::uint8_t* written = writing ? out[(c - 1) % 2].get() : nullptr;
        const std::size_t writeBytes =
            writing ? countOf(c - 1) * outWidth_ - (c == chunks ? trimLast_ : 0) : 0;
        bool wrote = true;
        workers.Start(pieces, [&, count, from, to, mapped, written, writeBytes](std::size_t i) {
            if (writing) {
                if (i == 0) {
                    wrote = steps.write(written, writeBytes);
                    return;
                }
                --i;
            }
            const std::size_t first = i * pieceBlocks;
            const auto piece = [&] {
                steps.code(from + first * inWidth_, std::min(pieceBlocks, count - first),
                           to + first * outWidth_);
            };
            if (!mapped) {
                piece();
            } else if (!MappedReadGuard::Run(piece)) {
                faulted.store(true);
            }
        });
        bool haveNext = false;
        if (coding && c + 1 < chunks)
            haveNext = steps.read(countOf(c + 1) * inWidth_, in[(c + 1) % 2]);
        workers.Finish();
        if (writing) {
            if (!wrote) return End::WriteFailed;
            const std::int64_t first = (c - 1) * chunk;
            steps.progress(first + 1, first + static_cast<std::int64_t>(countOf(c - 1)));
            if (observer.CancelRequested()) return End::Cancelled;
        }
        if (c == chunks) return End::Completed;
        if (!haveInput) return End::ReadFailed;
        if (faulted.load()) {
            // Read as a chunk that came up short: reported after the chunks before it.
            in[c % 2].ReportFault();
            return End::ReadFailed;
        }
        in[c % 2].Release();
        haveInput = haveNext;
    }
}

}  // namespace kiv
