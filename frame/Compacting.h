#pragma once

#include <QString>

class Session;

// The compaction of the database and the restore of a safety copy, on their own attachments and
// services, inside the frame: progress in the status bar, a stop that cancels the service, the
// outcome in the log and, for a local file nobody else has open, the offer to put the new file in
// place of the original.

// After a real cleanup that ended well. Logs what happened; never changes the original but by the
// swap the technician confirms.
void compactAfterRun(Session& session);

// The same by hand, and a restore of a copy the technician chooses, each asked first.
void compactNow(Session& session);
void restoreCopyNow(Session& session);
