#include "settings/ModelController.h"

#include "settings/SettingsStore.h"

#include <algorithm>

void IModel::addController(IController* controller) {
    if (controller == nullptr) return;
    if (std::find(controllers_.begin(), controllers_.end(), controller) != controllers_.end()) return;
    controllers_.push_back(controller);
    controller->model_ = this;
}

void IModel::notifyControllers() {
    // A controller may not add controllers while being told; iterate by index
    // so that even then nothing dangles.
    for (std::size_t i = 0; i < controllers_.size(); ++i) controllers_[i]->modelModified();
}

void IController::init(IModel* model, EditorEventHub*, SettingsStore* store) {
    if (model != nullptr) model->addController(this);
    if (store != nullptr) store->addObserver(this);
}
