#pragma once

// How an editor opens: empty for a new record, or loaded with a stored one.
enum class EditMode { New, Edit };
