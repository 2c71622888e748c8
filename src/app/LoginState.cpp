#include "LoginState.h"

LoginState& LoginState::instance()
{
    static LoginState state;
    return state;
}

void LoginState::reset()
{
    instance() = LoginState();
}
