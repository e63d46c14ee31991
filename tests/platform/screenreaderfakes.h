#pragma once

// Bindings that stand for JAWS, NVDA and Orca, with the state a test sets and reads.

#include "platform/screenreaderdriverjaws.h"
#include "platform/screenreaderdrivernvda.h"
#include "platform/screenreaderdriverorca.h"

#include <QStringList>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace srfake {

struct JawsState {
    bool window = false;
    bool canCreate = true;
    bool sayResult = true;
    bool runResult = true;
    bool stopResult = true;
    int created = 0;
    int released = 0;
    int stops = 0;
    std::vector<std::pair<QString, bool>> said;
    QStringList functions;
    QStringList log;
};
std::unique_ptr<TJawsBinding> jawsBinding(std::shared_ptr<JawsState> AState);

std::set<std::string> allNvdaEntries();

struct NvdaState {
    bool library = true;
    bool window = true;
    std::set<std::string> entries = allNvdaEntries();
    quint32 runningStatus = 0;
    quint32 speakStatus = 0;
    quint32 brailleStatus = 0;
    quint32 cancelStatus = 0;
    QStringList loadedNames;
    int freed = 0;
    QStringList calls;
};

// The client library's entry points are plain functions; they reach the state of the scope that
// lives while the test runs.
struct NvdaScope {
    NvdaScope();
    ~NvdaScope();
    NvdaState state;
};
std::unique_ptr<TNvdaBinding> nvdaBinding();

struct OrcaState {
    qint64 now = 1000;
    bool running = true;
    bool speechAnswers = true;
    bool alive = true;
    bool cancelWorks = true;
    bool brailleAnswers = true;
    bool writeWorks = true;
    int processChecks = 0;
    int speechConnects = 0;
    int speechDisconnects = 0;
    int brailleConnects = 0;
    int brailleDisconnects = 0;
    QStringList log;
};
std::unique_ptr<TOrcaBinding> orcaBinding(std::shared_ptr<OrcaState> AState);

} // namespace srfake
