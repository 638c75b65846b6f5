#pragma once

#include "base/Dialogs.h"
#include "base/Error.h"

// How a run goes: for real or simulated, with or without the safety copy first. There is no
// default: every entry point is told, so that nothing runs for real by omission.
enum class RunMode { Real, Simulation };
enum class SafetyCopy { Make, Skip };

class RunOptions {
public:
    RunOptions(RunMode mode, SafetyCopy copy)
        : simulate(mode == RunMode::Simulation),
          backup(mode == RunMode::Real && copy == SafetyCopy::Make) {}

    bool simulate;
    bool backup;  // a simulation changes nothing, so it never copies
};

// What the technician answered; a "Não" starts nothing, so it has no options.
inline RunOptions runOptions(const RunAnswer& a) {
    if (a.choice == RunAnswer::Choice::No) throw AppError(QStringLiteral("Operação Cancelada"));
    return {a.choice == RunAnswer::Choice::Simulate ? RunMode::Simulation : RunMode::Real,
            a.backup ? SafetyCopy::Make : SafetyCopy::Skip};
}
