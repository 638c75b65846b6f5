#include "db/Service.h"

#include <ibase.h>

#include <QStringList>
#include <vector>

using namespace Firebird;

namespace {

// A service manager attachment, detached on every way out; a dead one can only be let go.
using Service = fb::Ref<IService>;
struct Detach {
    Service& s;
    ~Detach() {
        fb::finish(s, [](IService* svc, auto* st) { svc->detach(st); });
    }
};

unsigned littleEndian16(const unsigned char* p) { return unsigned(p[0]) | unsigned(p[1]) << 8; }

// One answer to a query for a line.
struct Answer {
    QString line;
    bool empty = true;  // nothing at all, not even blanks: with more unset, the output's end
    bool more = false;  // the service is still running: it only had nothing to say yet
};

Answer parseAnswer(const std::vector<unsigned char>& buffer) {
    Answer a;
    const unsigned char* p = buffer.data();
    const unsigned char* const end = p + buffer.size();
    while (p < end && *p != isc_info_end) {
        switch (*p++) {
            case isc_info_svc_line: {
                if (end - p < 2) break;
                const unsigned n = littleEndian16(p);
                p += 2;
                if (unsigned(end - p) < n) break;
                a.line =
                    fb::decodeServerText(reinterpret_cast<const char*>(p), qsizetype(n)).trimmed();
                a.empty = n == 0;
                p += n;
                continue;
            }
            case isc_info_svc_timeout:
            case isc_info_data_not_ready:
            case isc_info_truncated:
                a.more = true;
                continue;
        }
        throw fb::Error(QStringLiteral("Resposta inesperada do serviço do servidor"));
    }
    return a;
}

}  // namespace

namespace service {

void run(const QString& serviceManager, const LoginParams& login, const StartItems& items,
         const ServiceProgress& progress, const ServiceStop& stop) {
    fb::ThrowStatus st;
    LoginBlock attach(login, LoginBlock::For::Service);
    fb::Ref<IProvider> provider(fb::master()->getDispatcher());
    const QByteArray name = serviceManager.toUtf8();
    const unsigned length = attach.length();
    const unsigned char* spb = attach.buffer();
    Service service(provider->attachServiceManager(&st, name.constData(), length, spb));
    Detach detach{service};

    fb::Owned<IXpbBuilder> start(
        fb::util()->getXpbBuilder(&st, IXpbBuilder::SPB_START, nullptr, 0));
    items(start.get(), st);
    service->start(&st, start->getBufferLength(&st), start->getBuffer(&st));

    // One line per answer; after a second without one the server answers that it has none yet.
    const unsigned char send[] = {isc_info_svc_timeout, 4, 0, 1, 0, 0, 0, isc_info_end};
    const unsigned char receive[] = {isc_info_svc_line};
    std::vector<unsigned char> buffer(16 * 1024);
    QStringList errors;
    for (;;) {
        if (stop && stop()) {
            // The server ends an action whose attachment is gone.
            fb::finish(service, [](IService* svc, auto* s) { svc->detach(s); });
            throw ServiceStopped(QStringLiteral("Interrompido pelo usuário."));
        }
        // A failed action ends with the error in the status of this call once its output is read.
        service->query(&st, sizeof send, send, sizeof receive, receive, unsigned(buffer.size()),
                       buffer.data());
        const Answer a = parseAnswer(buffer);
        if (a.empty && !a.more) break;
        // The service's own status carries its failure; an error line it printed is believed too.
        if (a.line.startsWith(QLatin1String("gbak: ERROR:"))) errors << a.line;
        if (progress) progress(a.line);
    }
    if (!errors.isEmpty()) throw fb::Error(errors.join(QLatin1Char('\n')));
}

}  // namespace service
