// COM and OLE initialisation of a thread, counted per thread as on Windows.
//
// Objects can be created only on a thread where COM is initialised. OLE initialisation
// includes COM's. Each successful initialise is paired with one uninitialise; the order of
// start-up and shutdown can be watched through an observer, which tests use.
#pragma once

#include <functional>

#include "platform/automation/hresult.h"

namespace quorvel::automation {

// S_OK the first time on a thread, S_FALSE when COM already was initialised there.
HResult CoInitialize();
void CoUninitialize();
HResult OleInitialize();
void OleUninitialize();

int ComInitializationCount();  // on the calling thread
int OleInitializationCount();

enum class ApartmentEvent { OleInitialize, CoInitialize, CoUninitialize, OleUninitialize };
using ApartmentObserver = std::function<void(ApartmentEvent)>;
// Observes the calling thread's initialise and uninitialise calls; an empty one stops it.
void SetApartmentObserver(ApartmentObserver observer);

}  // namespace quorvel::automation
