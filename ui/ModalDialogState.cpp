#include "ui/ModalDialogState.h"

namespace ui
{
ModalDialogState::~ModalDialogState()
{
    cancelPendingUpdate();
}

void ModalDialogState::setModalDialogOpen(bool open)
{
    modalDialogOpen = open;
    triggerAsyncUpdate();
}

void ModalDialogState::beginModal(bool& wasAlreadyOpen)
{
    wasAlreadyOpen = modalDialogOpen;
    if (!wasAlreadyOpen)
        setModalDialogOpen(true);
}

void ModalDialogState::endModal(bool wasAlreadyOpen)
{
    if (!wasAlreadyOpen)
        setModalDialogOpen(false);
}

void ModalDialogState::handleAsyncUpdate()
{
    callListeners([](ModalDialogStateObserver& observer) { observer.modalDialogStateChanged(); });
}
} // namespace ui
