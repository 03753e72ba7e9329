#ifndef KORUNEX_GLYPHS_TEXT_WINDOW_IDS_H
#define KORUNEX_GLYPHS_TEXT_WINDOW_IDS_H
// The text window's template, control and string ids, for the resource
// compiler (resources/text_window.rc) and for C++ alike: plain macros.

#define IDD_TEXT_WINDOW 3000

#define IDC_TW_TEXT_RADIO 3001
#define IDC_TW_TEXT_EDIT 3002
#define IDC_TW_CLOCK_RADIO 3003
#define IDC_TW_FORMAT_EDIT 3004
#define IDC_TW_FONT_BUTTON 3005
#define IDC_TW_FONT_NAME 3006
#define IDC_TW_BOLD 3007
#define IDC_TW_ITALIC 3008
#define IDC_TW_MONITORS 3009
#define IDC_TW_MODE_WHOLE 3010  /* GAMEN 0, 1, 2: three ids in a row */
#define IDC_TW_MODE_EACH 3011
#define IDC_TW_MODE_PRIMARY 3012
#define IDC_TW_PREVIEW_LABEL 3013
#define IDC_TW_STILL 3014
#define IDC_TW_TURNING 3015
#define IDC_TW_LETTERS_LABEL 3016
#define IDC_TW_LETTERS 3017
#define IDC_TW_STATUS 3018

/* Each text twice: Japanese at IDS_TW_JAPANESE + n, English at IDS_TW_ENGLISH + n. */
#define IDS_TW_JAPANESE 3100
#define IDS_TW_ENGLISH 3200
#define TW_TEXT 0
#define TW_CLOCK 1
#define TW_FONT 2
#define TW_BOLD 3
#define TW_ITALIC 4
#define TW_MONITORS 5
#define TW_MODE_WHOLE 6
#define TW_MODE_EACH 7
#define TW_MODE_PRIMARY 8
#define TW_SAVE 9
#define TW_CANCEL 10
#define TW_PREVIEW 11
#define TW_LETTERS 12
#define TW_FITTING 13
#define TW_READY 14
#define TW_EMPTY 15
#define TW_TOO_MANY 16      /* %1!d!: the characters */
#define TW_BAD_FORMAT 17
#define TW_REFUSED 18       /* %1: why */
#define TW_SAVED 19         /* %1: the file, %2!d! new, %3!d! already there, %4!d! repeats */
#define TW_SHOWS_TEXT 20
#define TW_SHOWS_CLOCK 21   /* %1: the format */
#define TW_CLOCK_OFF 22
#define TW_MODE_SAVED 23
#define TW_UNCHANGED 24     /* %1: the file */
#define TW_CANNOT_WRITE 25  /* %1: the file */
#define TW_PARTLY_WRITTEN 26 /* %1: the file */
#define TW_NO_FONT 27       /* %1: why */
#define TW_LETTER_ROW 28    /* %1: the character, %2: the deviation */
#define TW_NOT_IN_FONT 29   /* %1: the character */
#define TW_BLANK 30         /* %1: the character */
#define TW_TEXT_COUNT 31

#endif  // KORUNEX_GLYPHS_TEXT_WINDOW_IDS_H
