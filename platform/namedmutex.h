#pragma once

#include <QLockFile>
#include <QString>

// A named object that exists while the program runs, for other programs to look for.
// The program itself creates it and never tests it.
class NamedMutex {
public:
    explicit NamedMutex(const QString& name);

private:
    QLockFile m_file;
};
