#pragma once

#include "base/Dialogs.h"
#include "base/Error.h"

// How a run goes: for real or simulated, with or without the safety copy first. There is no
// default: every entry point is told, so that nothing runs for real by omission.
enum class RunMode { Real, Simulation };
enum class SafetyCopy { Make, Skip };
// Only the cleanup offers it; the other operations never compact.
enum class Compaction { Make, Skip };

class RunOptions {
public:
    RunOptions(RunMode mode, SafetyCopy copy, Compaction compaction = Compaction::Skip)
        : simulate(mode == RunMode::Simulation),
          backup(mode == RunMode::Real && copy == SafetyCopy::Make),
          compact(mode == RunMode::Real && compaction == Compaction::Make) {}

    bool simulate;
    bool backup;   // a simulation changes nothing, so it never copies
    bool compact;  // after a real run that ended well, on attachments of its own
};

// What the technician answered; a "Não" starts nothing, so it has no options.
inline RunOptions runOptions(const RunAnswer& a) {
    if (a.choice == RunAnswer::Choice::No) throw AppError(QStringLiteral("Operação Cancelada"));
    return {a.choice == RunAnswer::Choice::Simulate ? RunMode::Simulation : RunMode::Real,
            a.backup ? SafetyCopy::Make : SafetyCopy::Skip,
            a.compact ? Compaction::Make : Compaction::Skip};
}
