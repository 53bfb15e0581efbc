#pragma once
// Lets several Qt Test classes live in one executable: each test file
// registers its class with VT_TEST(Class), and the shared main() runs them all.
#include <QObject>
#include <functional>
#include <memory>
#include <vector>

namespace vttest {
using Factory = std::function<std::unique_ptr<QObject>()>;
int registerTest(const char* name, Factory f);
}

#define VT_TEST(Class)                                                  \
    static const int vt_registered_##Class = vttest::registerTest(     \
        #Class, [] { return std::unique_ptr<QObject>(new Class); });
