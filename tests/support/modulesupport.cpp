#include "modulesupport.h"

#include "ktsnmpsession.h"

void SessionEnvironment::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    KtSNMPSession::OpenSession(m_dir.path());
}

void SessionEnvironment::TearDown()
{
    KtSNMPSession::CloseSession();
}

KtSNMPVarItem varItem(const QString &oid, int syntax, int access, const char *name)
{
    return makeVarItem(oid, QString::fromLatin1(name), syntax, access);
}

void aim(KtSNMPRequest &request, const QString &address, quint16 port, int version,
         const QString &user)
{
    request.address = address;
    request.port = port;
    request.version = static_cast<quint8>(version);
    if (version == 3) {
        request.securityModel = 3;
        request.securityLevel = 3;
        request.securityName = user;
        request.authProtocol = 2;
        request.authPassword = QStringLiteral("authpass1");
        request.privProtocol = 2;
        request.privPassword = QStringLiteral("privpass1");
    }
}
