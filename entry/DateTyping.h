#pragma once

class QDateTimeEdit;

// A click in a date field selects the part under it (day, month or year),
// so the digits typed next replace that part. Left alone, the click only
// places the cursor and the digits, inserted beside the old ones, make no
// date and are dropped.
void clickSelectsDatePart(QDateTimeEdit* edit);
