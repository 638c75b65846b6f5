// The database's own cost of a run: replays a trace written by the bench (TraceFile.h) straight
// through the client library, with nothing of the tool between. One attachment and the tool's
// transaction; every distinct text prepared once; values bound as parameters into the message the
// statement itself describes; every cursor fetched to its end. Prints the seconds from before the
// attach to after the detach.
// Usage: depurix_replay [--prepare-each] TRACE DATABASE
#include <firebird/Interface.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

using namespace Firebird;

namespace {

IMaster* master = fb_get_master_interface();
IUtil* util = master->getUtilInterface();

struct Timestamp {
    unsigned year, month, day, hour, minute, second, fraction;  // fraction: 1/10 000 s
};
using Param = std::variant<std::monostate, long long, double, std::string, Timestamp>;

struct Entry {
    char kind;  // Q query, S statement, C commit, R rollback
    std::string sql;
    std::vector<Param> params;
};

std::string readBytes(std::istream& in, size_t n) {
    std::string s(n, '\0');
    in.read(s.data(), std::streamsize(n));
    in.ignore(1);  // the line end after the bytes
    return s;
}

std::vector<Entry> readTrace(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error(std::string("cannot read ") + path);
    std::vector<Entry> out;
    std::string kind;
    while (in >> kind) {
        Entry e{kind[0], {}, {}};
        if (e.kind == 'C' || e.kind == 'R') {
            in.ignore(1);
            out.push_back(std::move(e));
            continue;
        }
        size_t count = 0, bytes = 0;
        in >> count >> bytes;
        in.ignore(1);
        e.sql = readBytes(in, bytes);
        for (size_t i = 0; i < count; ++i) {
            std::string type;
            in >> type;
            if (type == "n") {
                e.params.emplace_back();
            } else if (type == "i") {
                long long v;
                in >> v;
                e.params.emplace_back(v);
            } else if (type == "d") {
                double v;
                in >> v;
                e.params.emplace_back(v);
            } else if (type == "s") {
                size_t n;
                in >> n;
                in.ignore(1);
                e.params.emplace_back(readBytes(in, n));
                continue;
            } else if (type == "t") {
                std::string date, time;
                in >> date >> time;
                Timestamp t{};
                if (std::sscanf(date.c_str(), "%u-%u-%u", &t.year, &t.month, &t.day) != 3 ||
                    std::sscanf(time.c_str(), "%u:%u:%u.%u", &t.hour, &t.minute, &t.second,
                                &t.fraction) != 4)
                    throw std::runtime_error("bad timestamp " + date + " " + time);
                e.params.emplace_back(t);
            } else {
                throw std::runtime_error("bad parameter type " + type);
            }
            in.ignore(1);
        }
        if (!in) throw std::runtime_error("trace cut short");
        out.push_back(std::move(e));
    }
    return out;
}

std::string text(const Param& p) {
    if (auto v = std::get_if<long long>(&p)) return std::to_string(*v);
    if (auto v = std::get_if<double>(&p)) return std::to_string(*v);
    if (auto v = std::get_if<std::string>(&p)) return *v;
    if (auto t = std::get_if<Timestamp>(&p)) {
        char buf[40];
        std::snprintf(buf, sizeof buf, "%04u-%02u-%02u %02u:%02u:%02u.%04u", t->year, t->month,
                      t->day, t->hour, t->minute, t->second, t->fraction);
        return buf;
    }
    return {};
}

double number(const Param& p) {
    if (auto v = std::get_if<long long>(&p)) return double(*v);
    if (auto v = std::get_if<double>(&p)) return *v;
    if (auto v = std::get_if<std::string>(&p)) return std::stod(*v);
    throw std::runtime_error("a date bound to a number");
}

Timestamp timestamp(const Param& p) {
    if (auto t = std::get_if<Timestamp>(&p)) return *t;
    throw std::runtime_error("a non-date bound to a date");
}

// Writes the value converted to the type the statement asks for at that position.
void bind(ThrowStatusWrapper* st, IMessageMetadata* meta, unsigned i, const Param& p,
          unsigned char* buffer) {
    auto* null = reinterpret_cast<short*>(buffer + meta->getNullOffset(st, i));
    unsigned char* data = buffer + meta->getOffset(st, i);
    *null = std::holds_alternative<std::monostate>(p) ? -1 : 0;
    if (*null) return;
    const unsigned type = meta->getType(st, i) & ~1u;
    const int scale = meta->getScale(st, i);
    const unsigned length = meta->getLength(st, i);
    auto scaled = [&] { return std::llround(number(p) * std::pow(10.0, -scale)); };
    switch (type) {
        case SQL_SHORT: {
            const short v = short(scaled());
            std::memcpy(data, &v, sizeof v);
            break;
        }
        case SQL_LONG: {
            const int v = int(scaled());
            std::memcpy(data, &v, sizeof v);
            break;
        }
        case SQL_INT64: {
            const long long v = scaled();
            std::memcpy(data, &v, sizeof v);
            break;
        }
        case SQL_FLOAT: {
            const float v = float(number(p));
            std::memcpy(data, &v, sizeof v);
            break;
        }
        case SQL_DOUBLE: {
            const double v = number(p);
            std::memcpy(data, &v, sizeof v);
            break;
        }
        case SQL_BOOLEAN:
            *data = number(p) != 0;
            break;
        case SQL_TIMESTAMP: {
            const Timestamp t = timestamp(p);
            ISC_TIMESTAMP v{util->encodeDate(t.year, t.month, t.day),
                            util->encodeTime(t.hour, t.minute, t.second, t.fraction)};
            std::memcpy(data, &v, sizeof v);
            break;
        }
        case SQL_TYPE_DATE: {
            const Timestamp t = timestamp(p);
            const ISC_DATE v = util->encodeDate(t.year, t.month, t.day);
            std::memcpy(data, &v, sizeof v);
            break;
        }
        case SQL_TYPE_TIME: {
            const Timestamp t = timestamp(p);
            const ISC_TIME v = util->encodeTime(t.hour, t.minute, t.second, t.fraction);
            std::memcpy(data, &v, sizeof v);
            break;
        }
        case SQL_TEXT: {
            const std::string s = text(p);
            if (s.size() > length) throw std::runtime_error("text too long for its parameter");
            std::memset(data, ' ', length);
            std::memcpy(data, s.data(), s.size());
            break;
        }
        case SQL_VARYING: {
            const std::string s = text(p);
            if (s.size() > length) throw std::runtime_error("text too long for its parameter");
            const unsigned short n = static_cast<unsigned short>(s.size());
            std::memcpy(data, &n, sizeof n);
            std::memcpy(data + sizeof n, s.data(), s.size());
            break;
        }
        default:
            throw std::runtime_error("parameter type " + std::to_string(type) + " not handled");
    }
}

// Reference-counted interfaces are released, disposable ones disposed.
template <class T>
struct Released {
    T* p = nullptr;
    ~Released() {
        if (p) p->release();
    }
};
template <class T>
struct Disposed {
    T* p = nullptr;
    ~Disposed() {
        if (p) p->dispose();
    }
};

// A prepared text with its messages, described once.
struct Prepared {
    IStatement* statement = nullptr;
    IMessageMetadata* input = nullptr;
    IMessageMetadata* output = nullptr;
    std::vector<unsigned char> in, out;
    bool cursor = false;

    Prepared(ThrowStatusWrapper* st, IAttachment* att, ITransaction* tra, const std::string& sql,
             char kind) {
        statement = att->prepare(st, tra, unsigned(sql.size()), sql.data(), 3,
                                 IStatement::PREPARE_PREFETCH_METADATA);
        input = statement->getInputMetadata(st);
        output = statement->getOutputMetadata(st);
        in.resize(input->getMessageLength(st));
        out.resize(output->getMessageLength(st));
        cursor = kind == 'Q' || statement->getType(st) == isc_info_sql_stmt_select;
    }
    Prepared(const Prepared&) = delete;
    Prepared& operator=(const Prepared&) = delete;
    ~Prepared() {
        input->release();
        output->release();
        CheckStatusWrapper st(master->getStatus());
        statement->free(&st);
        if (st.getState() & IStatus::STATE_ERRORS) statement->release();
        st.dispose();
    }

    // Rows fetched, or -1 for a statement without a cursor.
    long long run(ThrowStatusWrapper* st, ITransaction* tra, const std::vector<Param>& params) {
        if (params.size() != input->getCount(st))
            throw std::runtime_error("the trace binds " + std::to_string(params.size()) +
                                     " values to " + std::to_string(input->getCount(st)) +
                                     " markers");
        for (unsigned i = 0; i < params.size(); ++i) bind(st, input, i, params[i], in.data());
        if (!cursor) {
            statement->execute(st, tra, input, in.data(), output, out.data());
            return -1;
        }
        IResultSet* rs = statement->openCursor(st, tra, input, in.data(), output, 0);
        long long rows = 0;
        try {
            while (rs->fetchNext(st, out.data()) == IStatus::RESULT_OK) ++rows;
            rs->close(st);
        } catch (...) {
            rs->release();
            throw;
        }
        return rows;
    }
};

std::string message(FbException& e) {
    char buf[1024];
    util->formatStatus(buf, sizeof buf, e.getStatus());
    return buf;
}

}  // namespace

int main(int argc, char** argv) {
    bool prepareEach = false;
    std::vector<const char*> args;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--prepare-each") == 0)
            prepareEach = true;
        else
            args.push_back(argv[i]);
    }
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: depurix_replay [--prepare-each] TRACE DATABASE\n");
        return 2;
    }
    std::vector<Entry> trace;
    try {
        trace = readTrace(args[0]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "depurix_replay: %s\n", e.what());
        return 2;
    }

    ThrowStatusWrapper status(master->getStatus());
    ThrowStatusWrapper* st = &status;
    long long failures = 0, fetched = 0, prepares = 0;
    int rc = 0;
    const auto start = std::chrono::steady_clock::now();
    IAttachment* att = nullptr;
    ITransaction* tra = nullptr;
    try {
        // The tool's attachment: its login, its connection character set, the path as UTF-8.
        Disposed<IXpbBuilder> dpb{util->getXpbBuilder(st, IXpbBuilder::DPB, nullptr, 0)};
        dpb.p->insertTag(st, isc_dpb_utf8_filename);
        dpb.p->insertString(st, isc_dpb_user_name, "SYSDBA");
        dpb.p->insertString(st, isc_dpb_password, "vlemtrasq");
        dpb.p->insertString(st, isc_dpb_lc_ctype, "WIN1252");
        dpb.p->insertInt(st, isc_dpb_sql_dialect, 3);
        Released<IProvider> provider{master->getDispatcher()};
        att = provider.p->attachDatabase(st, args[1], dpb.p->getBufferLength(st),
                                         dpb.p->getBuffer(st));

        // The tool's transaction, started again after every commit.
        Disposed<IXpbBuilder> tpb{util->getXpbBuilder(st, IXpbBuilder::TPB, nullptr, 0)};
        tpb.p->insertTag(st, isc_tpb_read_committed);
        tpb.p->insertTag(st, isc_tpb_rec_version);
        tpb.p->insertTag(st, isc_tpb_nowait);
        tpb.p->insertTag(st, isc_tpb_write);
        auto active = [&] {
            if (!tra) tra = att->startTransaction(st, tpb.p->getBufferLength(st), tpb.p->getBuffer(st));
            return tra;
        };

        std::map<std::string, std::unique_ptr<Prepared>> cache;
        for (const Entry& e : trace) {
            if (e.kind == 'C' || e.kind == 'R') {
                if (!tra) continue;
                if (e.kind == 'C')
                    tra->commit(st);
                else
                    tra->rollback(st);
                tra = nullptr;
                continue;
            }
            ITransaction* t = active();
            // A failed statement is undone alone and the run goes on, as the tool's runner does.
            try {
                std::unique_ptr<Prepared> own;
                Prepared* p;
                if (prepareEach) {
                    own = std::make_unique<Prepared>(st, att, t, e.sql, e.kind);
                    ++prepares;
                    p = own.get();
                } else {
                    auto& slot = cache[e.sql];
                    if (!slot) {
                        slot = std::make_unique<Prepared>(st, att, t, e.sql, e.kind);
                        ++prepares;
                    }
                    p = slot.get();
                }
                fetched += std::max(0LL, p->run(st, t, e.params));
            } catch (FbException& ex) {
                if (++failures <= 5)
                    std::fprintf(stderr, "depurix_replay: %s\n  in: %.200s\n", message(ex).c_str(),
                                 e.sql.c_str());
            }
        }
        cache.clear();
        if (tra) tra->commit(st);
        tra = nullptr;
        att->detach(st);
        att = nullptr;
    } catch (FbException& ex) {
        std::fprintf(stderr, "depurix_replay: %s\n", message(ex).c_str());
        rc = 1;
    } catch (const std::exception& ex) {
        std::fprintf(stderr, "depurix_replay: %s\n", ex.what());
        rc = 1;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%.6f\n", seconds);
    std::fprintf(stderr, "depurix_replay: %zu requests, %lld prepares, %lld rows fetched, %lld failed\n",
                 trace.size(), prepares, fetched, failures);
    status.dispose();
    return rc;
}
