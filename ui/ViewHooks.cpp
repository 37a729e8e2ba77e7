#include "ui/ViewHooks.h"

CViewHooks& ViewHooks() {
    static CViewHooks hooks;
    return hooks;
}
