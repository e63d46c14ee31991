#include "platform/sounds.h"

#include <atomic>
#include <canberra.h>
#include <mutex>

namespace {

std::mutex contextMutex;
ca_context *context = nullptr;

// Plays an event sound of the freedesktop theme; the sound runs on after the call returns.
bool EreignisTon(const char *eventId, const char *description)
{
    std::lock_guard lock(contextMutex);
    if (!context) {
        if (ca_context_create(&context) != CA_SUCCESS)
            return false;
        ca_context_change_props(context, CA_PROP_APPLICATION_NAME, "Zindara", nullptr);
        if (ca_context_open(context) != CA_SUCCESS) {
            // Opened again next time: the sound server may come up later.
            ca_context_destroy(context);
            context = nullptr;
            return false;
        }
    }
    return ca_context_play(context, 0, CA_PROP_EVENT_ID, eventId, CA_PROP_EVENT_DESCRIPTION, description,
                           nullptr) == CA_SUCCESS;
}

std::atomic<void (*)()> piepErsatz = nullptr;

void SystemPiep()
{
    if (const auto piep = piepErsatz.load())
        piep();
}

} // namespace

void PiepErsatzSetzen(void (*piep)())
{
    piepErsatz = piep;
}

bool Piepsen()
{
    if (!EreignisTon("bell", "Piepsen"))
        SystemPiep();
    return true;
}

bool FehlerTon()
{
    if (EreignisTon("dialog-error", "Fehler"))
        return true;
    SystemPiep();
    return false;
}
