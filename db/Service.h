#pragma once

#include <QString>
#include <functional>

#include "db/Database.h"

// Gets every line a service prints, as it comes, and an empty line whenever the server has been
// silent for about a second, so that the window can stay live.
using ServiceProgress = std::function<void(const QString& line)>;
// Asked after every line and every silence: true cancels the service.
using ServiceStop = std::function<bool()>;

// The service was cancelled because the caller asked.
class ServiceStopped : public fb::Error {
public:
    using fb::Error::Error;
};

namespace service {

// Adds an action and its items to the service's start block.
using StartItems = std::function<void(Firebird::IXpbBuilder* spb, fb::ThrowStatus& st)>;

// Starts an action on the service manager and reads its output to the end. A failure, in the
// service's status or in an error line it printed, throws fb::Error with the server's message. A
// stop detaches from the service manager, which makes the server end the action; then
// ServiceStopped is thrown.
void run(const QString& serviceManager, const LoginParams& login, const StartItems& items,
         const ServiceProgress& progress, const ServiceStop& stop = {});

}  // namespace service
