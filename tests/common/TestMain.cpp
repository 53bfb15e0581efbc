#include "TestMain.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTest>
#include <cstring>

namespace vttest {
namespace {
struct Entry {
    const char* name;
    Factory make;
};
std::vector<Entry>& registry()
{
    static std::vector<Entry> r;
    return r;
}
} // namespace

int registerTest(const char* name, Factory f)
{
    registry().push_back({name, std::move(f)});
    return int(registry().size());
}
} // namespace vttest

// Usage: test_x [ClassName] [Qt Test arguments...]; without a class name all
// registered classes run in turn.
int main(int argc, char** argv)
{
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    app.setApplicationName("Veltrana");
    app.setOrganizationName("Veltrana");
    const char* only = nullptr;
    std::vector<char*> args{argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (!only && argv[i][0] != '-' && i == 1)
            only = argv[i];
        else
            args.push_back(argv[i]);
    }
    int failed = 0;
    for (auto& e : vttest::registry()) {
        if (only && std::strcmp(only, e.name) != 0)
            continue;
        auto obj = e.make();
        failed += QTest::qExec(obj.get(), int(args.size()), args.data()) != 0;
    }
    return failed ? 1 : 0;
}
