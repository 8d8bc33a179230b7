#include "metrics/disk.h"
#include "format/text.h"

#include <cstdio>

#include "format/format.h"
#include "worker/worker.h"

int diskSlotOf(DiskKind kind, char letter) {
    if (kind < 0 || kind >= DiskKindCount) {
        return -1;
    }
    return driveSlotOf(kDiskSlots[kind], letter);
}

int diskPercent(uint64_t part, uint64_t whole) {
    if (whole == 0) {
        return 0;
    }
    // A driver may report more free space than the volume holds.
    if (part >= whole) {
        return 100;
    }
    return static_cast<int>(static_cast<double>(part) * 100.0 / static_cast<double>(whole));
}

namespace {

// The disk tokens of one format, each with its own query: what to ask,
// then the text to show and its number (bytes or percent).
constexpr int kDiskTextSize = 16;  // the tokens' segment size
struct DiskToken {
    double value;
    short slot;
    char kind;    // DiskKind
    char letter;  // 'A'..'Z'
    bool read;    // false: the volume could not be read
    char text[kDiskTextSize];
};
struct DiskSpaceWork {
    int count;
    DiskToken tokens[kMaxSegments];
};

uint64_t usedSpace(uint64_t total, uint64_t totalFree) {
    return totalFree < total ? total - totalFree : 0;
}

void sizeText(uint64_t bytes, DiskToken* token) {
    char full[32];
    formatByteSize(bytes, full, sizeof full);
    copyText(token->text, kDiskTextSize, full);
    token->value = static_cast<double>(bytes);
}

void percentText(int percent, DiskToken* token) {
    formatText(token->text, kDiskTextSize, "%d%%", percent);
    token->value = percent;
}

void tokenText(DiskToken* token) {
    char root[8];
    formatText(root, sizeof root, "%c:\\", token->letter);
    uint64_t freeToCaller = 0;
    uint64_t total = 0;
    uint64_t totalFree = 0;
    bool ok = false;
    switch (token->kind) {
        case DiskFree:
            ok = queryDiskSpace(root, &freeToCaller, nullptr, nullptr);
            if (ok) {
                sizeText(freeToCaller, token);
            }
            break;
        case DiskTotal:
            ok = queryDiskSpace(root, nullptr, &total, nullptr);
            if (ok) {
                sizeText(total, token);
            }
            break;
        case DiskUsed:
            ok = queryDiskSpace(root, nullptr, &total, &totalFree);
            if (ok) {
                sizeText(usedSpace(total, totalFree), token);
            }
            break;
        case DiskFreePercent:
            ok = queryDiskSpace(root, &freeToCaller, &total, nullptr);
            if (ok) {
                percentText(diskPercent(freeToCaller, total), token);
            }
            break;
        case DiskUsedPercent:
            ok = queryDiskSpace(root, nullptr, &total, &totalFree);
            if (ok) {
                percentText(diskPercent(usedSpace(total, totalFree), total), token);
            }
            break;
        default:
            return;
    }
    token->read = ok;
    if (!ok) {
        copyText(token->text, kDiskTextSize, "--");
    }
}

// The format compile whose disk tokens show answers, not "--".
unsigned answeredCompile;

// The queries and their texts (any thread).
void runDiskSpace(Work* work) {
    DiskSpaceWork& disk = workData<DiskSpaceWork>(work);
    for (int i = 0; i < disk.count && i < kMaxSegments; ++i) {
        tokenText(&disk.tokens[i]);
    }
}

// The texts into their segments (the window's thread).
void applyDiskSpace(const Work& work) {
    const DiskSpaceWork& disk = workData<DiskSpaceWork>(work);
    for (int i = 0; i < disk.count && i < kMaxSegments; ++i) {
        const DiskToken& token = disk.tokens[i];
        writeSegment(token.slot, token.text);
        if (token.read) {
            writeValue(token.slot, token.value);
        } else {
            clearValue(token.slot);
        }
    }
    answeredCompile = formatEngine.compiles;
}

const WorkKind kDiskSpaceWork = {runDiskSpace, applyDiskSpace};

}  // namespace

void updateDiskSpace() {
    Work work;
    clearWork(&work, kDiskSpaceWork);
    work.generation = formatEngine.compiles;
    DiskSpaceWork& disk = workData<DiskSpaceWork>(&work);
    int remaining = formatEngine.driveTokenCount;
    for (char letter = 'A'; letter <= 'Z' && remaining > 0; ++letter) {
        for (int kind = 0; kind < DiskKindCount && disk.count < kMaxSegments; ++kind) {
            const int slot = diskSlotOf(static_cast<DiskKind>(kind), letter);
            if (slot == -1) {
                continue;
            }
            DiskToken& token = disk.tokens[disk.count++];
            token.slot = static_cast<short>(slot);
            token.kind = static_cast<char>(kind);
            token.letter = letter;
            if (answeredCompile != work.generation) {
                writeSegment(slot, "--");
            }
            --remaining;
        }
    }
    if (disk.count > 0) {
        requestWork(work);
    }
}

void resetDiskSpace() {
    answeredCompile = 0;
}
