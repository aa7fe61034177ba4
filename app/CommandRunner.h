// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Prompts.h"
#include "UserError.h"
#include "translation.h"

#include <exception>
#include <new>
#include <utility>

/// Runs one command and shows any error it raises in an error box: the one
/// place where the program's errors end, so that none crosses the event loop.
template<typename Command>
void RunCommand(TPrompts &prompts, Command &&command) noexcept
{
    try {
        std::forward<Command>(command)();
    } catch (const TUserError &error) {
        prompts.Error(error.Message());
    } catch (const std::bad_alloc &) {
        prompts.Error(Translate(QStringLiteral("There is not enough memory for this command.")));
    } catch (const std::exception &error) {
        prompts.Error(QString::fromUtf8(error.what()));
    }
}
