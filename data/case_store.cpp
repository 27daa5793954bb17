#include "case_store.h"

#include <QRegularExpression>

#include "failure.h"
#include "postgres_engine.h"
#include "sqlite_engine.h"

namespace {

std::unique_ptr<CaseStore>& sharedSlot() {
    static std::unique_ptr<CaseStore> connection;
    return connection;
}

const char* const kClosedMessage = "Operation is not allowed when the connection is closed.";
const char* const kOpenMessage = "Operation is not allowed when the connection is open.";

// The path of "provider=...;data source=PATH;JET OLEDB:Database Password=". A path may hold ";"
// (a folder named "a;b"), so the path runs up to the text's own ";JET OLEDB:" part, the last
// one, or to the end of the text when it has none. Empty when the text names no data source.
QString dataSource(const QString& connectionText, qsizetype& end) {
    static const QRegularExpression start(QStringLiteral("(?:^|;)\\s*data source\\s*="),
                                          QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch found = start.match(connectionText);
    if (!found.hasMatch()) {
        end = connectionText.size();
        return {};
    }
    const qsizetype begin = found.capturedEnd();
    end = connectionText.lastIndexOf(QLatin1String(";JET OLEDB:"), -1, Qt::CaseInsensitive);
    if (end < begin) {
        end = connectionText.size();
    }
    return connectionText.mid(begin, end - begin);
}

// Reads "key=value;key=value" connection texts; keys without regard to letter case.
QString connectionPart(const QString& connectionText, const QString& key) {
    const QStringList parts = connectionText.split(QLatin1Char(';'));
    for (const QString& part : parts) {
        const qsizetype equals = part.indexOf(QLatin1Char('='));
        if (equals < 0) {
            continue;
        }
        if (part.left(equals).trimmed().compare(key, Qt::CaseInsensitive) == 0) {
            return part.mid(equals + 1);
        }
    }
    return {};
}

// A Jet-style text names its provider; every other text is for libpq.
bool namesProvider(const QString& connectionText) {
    static const QRegularExpression provider(QStringLiteral("(?:^|;)\\s*provider\\s*="),
                                             QRegularExpression::CaseInsensitiveOption);
    return provider.match(connectionText).hasMatch();
}

}  // namespace

CaseStore::CaseStore() = default;

CaseStore::~CaseStore() = default;

void CaseStore::open(const QString& connectionText) {
    if (!namesProvider(connectionText)) {
        openServer(connectionText);
        return;
    }
    qsizetype options = 0;
    const QString path = dataSource(connectionText, options);
    if (path.isEmpty()) {
        throw Failure(QStringLiteral("The connection text names no data source."));
    }
    if (!connectionPart(connectionText.mid(options), QStringLiteral("JET OLEDB:Database Password"))
             .isEmpty()) {
        throw Failure(QStringLiteral("Database passwords are not supported."));
    }
    openFile(path);
}

void CaseStore::openFile(const QString& path) {
    if (m_engine) {
        throw Failure(QString::fromLatin1(kOpenMessage));
    }
    m_engine = std::make_unique<SqliteEngine>(path);
}

void CaseStore::openServer(const QString& connectionText) {
    if (m_engine) {
        throw Failure(QString::fromLatin1(kOpenMessage));
    }
    m_engine = std::make_unique<PostgresEngine>(connectionText);
}

int CaseStore::state() const {
    return m_engine ? 1 : 0;
}

void CaseStore::close() {
    if (!m_engine) {
        throw Failure(QString::fromLatin1(kClosedMessage));
    }
    m_engine.reset();
}

Engine& CaseStore::engine() const {
    if (!m_engine) {
        throw Failure(QString::fromLatin1(kClosedMessage));
    }
    return *m_engine;
}

sqlite3* CaseStore::handle() const {
    auto* file = dynamic_cast<SqliteEngine*>(&engine());
    if (file == nullptr) {
        throw Failure(QStringLiteral("The connection is not an SQLite file."));
    }
    return file->handle();
}

Engine& CaseStore::accept(const QString& statementText, const char* nulMessage) {
    Engine& open = engine();
    observe(statementText);
    if (statementText.contains(QChar(0))) {
        throw Failure(QString::fromLatin1(nulMessage));
    }
    return open;
}

int CaseStore::execute(const QString& statementText) {
    Engine& open = accept(statementText,
                          "The statement contains a NUL character, which cannot be stored; "
                          "nothing was written.");
    if (QStringView(statementText)
            .trimmed()
            .startsWith(QLatin1String("delete"), Qt::CaseInsensitive)) {
        return executeDeletion(open, statementText);
    }
    return open.execute(statementText);
}

int CaseStore::executeDeletion(Engine& open, const QString& statementText) {
    // Its command is read inside its transaction, where no other writer can have logged since;
    // a deletion of its own runs in a transaction of its own for that.
    const bool own = !open.inTransaction();
    if (own) {
        open.begin();
    }
    try {
        const int changed = open.execute(statementText);
        if (changed > 0) {
            remember(open.currentCommand());
        }
        if (own) {
            open.commit();
            keepPendingDeletions();
        }
        return changed;
    } catch (...) {
        if (own) {
            open.rollback();
            m_pendingDeletions.clear();
        }
        throw;
    }
}

void CaseStore::remember(qint64 command) {
    if (command != 0 && (m_pendingDeletions.empty() || m_pendingDeletions.back() != command)) {
        m_pendingDeletions.push_back(command);
    }
}

void CaseStore::keepPendingDeletions() {
    m_ownDeletions.insert(m_ownDeletions.end(), m_pendingDeletions.begin(),
                          m_pendingDeletions.end());
    m_pendingDeletions.clear();
}

void CaseStore::forgetDeletion(qint64 command) {
    std::erase(m_ownDeletions, command);
}

RecordSet CaseStore::query(const QString& select) {
    RecordSet rows;
    rows.open(select, *this);
    return rows;
}

RecordSet CaseStore::queryForUpdate(const QString& select) {
    RecordSet rows;
    rows.open(select, *this, RecordSet::Lock::ForUpdate);
    return rows;
}

bool CaseStore::changedElsewhere() {
    return engine().changedElsewhere();
}

void CaseStore::transaction(const std::function<void()>& work) {
    Engine& open = engine();
    if (open.inTransaction()) {
        work();  // already inside a transaction: the outer one decides
        return;
    }
    // Observed as the file's engine words it, whichever engine runs the transaction.
    observe(QStringLiteral("BEGIN IMMEDIATE"));
    open.begin();
    m_pendingDeletions.clear();
    try {
        work();
        observe(QStringLiteral("COMMIT"));
        open.commit();
    } catch (...) {
        open.rollback();
        m_pendingDeletions.clear();
        throw;
    }
    keepPendingDeletions();
}

void CaseStore::createShared() {
    sharedSlot() = std::make_unique<CaseStore>();
}

bool CaseStore::hasShared() {
    return sharedSlot() != nullptr;
}

CaseStore& CaseStore::shared() {
    if (!sharedSlot()) {
        throw Failure(QStringLiteral("The database connection has not been created."));
    }
    return *sharedSlot();
}

void CaseStore::releaseShared() {
    sharedSlot().reset();
}
