#include "platform/automation/apartment.h"

#include <utility>

namespace quorvel::automation {
namespace {

struct Apartment {
    int com = 0;
    int ole = 0;
    ApartmentObserver observer;

    void Notify(ApartmentEvent event) const {
        if (observer) observer(event);
    }
};

Apartment& ThisThread() {
    thread_local Apartment apartment;
    return apartment;
}

}  // namespace

HResult CoInitialize() {
    Apartment& a = ThisThread();
    a.Notify(ApartmentEvent::CoInitialize);
    return a.com++ == 0 ? hr::S_OK : hr::S_FALSE;
}

void CoUninitialize() {
    Apartment& a = ThisThread();
    a.Notify(ApartmentEvent::CoUninitialize);
    if (a.com > 0) --a.com;
}

HResult OleInitialize() {
    Apartment& a = ThisThread();
    a.Notify(ApartmentEvent::OleInitialize);
    ++a.ole;
    // OLE runs on COM: its initialisation counts as one of COM's, unobserved.
    return a.com++ == 0 ? hr::S_OK : hr::S_FALSE;
}

void OleUninitialize() {
    Apartment& a = ThisThread();
    a.Notify(ApartmentEvent::OleUninitialize);
    // Only an OLE initialisation gives back the COM count it took; an unpaired call must
    // not take away one that a CoInitialize holds.
    if (a.ole == 0) return;
    --a.ole;
    if (a.com > 0) --a.com;
}

int ComInitializationCount() { return ThisThread().com; }
int OleInitializationCount() { return ThisThread().ole; }

void SetApartmentObserver(ApartmentObserver observer) { ThisThread().observer = std::move(observer); }

}  // namespace quorvel::automation
