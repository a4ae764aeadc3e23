#pragma once

#include <QString>
#include <cstdio>

// What differs by operating system under FileSystem. Each function returns 0 or the native
// error (errno on Linux, a GetLastError() code on Windows).
namespace FileSystemNative {

// fopen for reading or for writing (created or emptied), not inherited by child processes.
std::FILE *open(const QString &path, bool forWriting, int &error);
// fopen for appending, creating the file when missing.
std::FILE *openForAppend(const QString &path, int &error);

// The native error of the stdio call that just failed.
int lastStdioError();
void resetStdioError();

int syncFile(std::FILE *file);
int clearReadOnly(const QString &path);
int renameOver(const QString &source, const QString &target);
int syncFolder(const QString &folder);
int removeFile(const QString &path);

} // namespace FileSystemNative
