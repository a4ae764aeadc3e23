#pragma once

#include <QtGlobal>

#ifdef Q_OS_WIN

#include "platform/RegistryBackend.h"

// HKEY_CURRENT_USER itself, through the registry functions: values are REG_SZ, a value of
// another type reads as WrongType, and reading never creates a key.
class WinRegistry : public RegistryBackend
{
public:
    Result keyExists(const QString &keyPath) override;
    bool createKey(const QString &keyPath) override;
    Result readValue(const QString &keyPath, const QString &name, QString *text) override;
    bool writeValue(const QString &keyPath, const QString &name, const QString &text) override;
    bool deleteValue(const QString &keyPath, const QString &name) override;
    bool deleteKeyTree(const QString &keyPath) override;
    Result valueNames(const QString &keyPath, QStringList *names) override;

private:
    bool fail(long code);
    // Ok, Missing, or Failed with the error noted.
    Result openResult(long code);
};

#endif
