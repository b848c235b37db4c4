#pragma once
// A calendar date counted in days from the zero date 1899-12-30 (day 0), so that date
// arithmetic, comparisons with 0 and "is after the zero date" read as the system's do.
#include <QDate>
#include <QString>
#include <compare>

class VbDate {
public:
    constexpr VbDate() = default;
    constexpr explicit VbDate(int serial) : serial_(serial) {}
    static VbDate fromQDate(const QDate& d);
    static VbDate fromYmd(int y, int m, int d) { return fromQDate(QDate(y, m, d)); }

    QDate toQDate() const;
    constexpr int serial() const { return serial_; }
    constexpr bool isZero() const { return serial_ == 0; }
    int year() const { return toQDate().year(); }
    int month() const { return toQDate().month(); }
    int day() const { return toQDate().day(); }
    VbDate addDays(int n) const { return VbDate(serial_ + n); }
    constexpr int operator-(const VbDate& o) const { return serial_ - o.serial_; }
    constexpr auto operator<=>(const VbDate&) const = default;

    // The stored form in every database: "yyyy-mm-dd", comparable as text.
    QString toDbText() const;
    // Accepts "yyyy-mm-dd" and "yyyy/mm/dd"; anything else is the zero date with ok = false.
    static VbDate fromDbText(const QString& text, bool* ok = nullptr);

private:
    int serial_ = 0;
};

// Today's date as the program sees it; tests can set it.
VbDate vbToday();
void setVbToday(const VbDate& d);  // a zero date returns to the system clock
