#pragma once
// The run-time error table: every failure a handler, the evaluator or the run loop reports, with
// its code and its text, listed once. A handler names the entry; the code and the text come from
// here. "{}" in a text is a placeholder, filled in order by the failing operation.
//
// The code is the number in the text except where the language says otherwise (LoopNoCurrent,
// and the text functions' -1 with "RTE (0)"); a unit test holds every other entry to that.

#include <array>
#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

// X(id, code, text)
#define TW_ERROR_LIST(X)                                                                           \
    /* The evaluator and the variables */                                                          \
    X(ExpressionTooLong, 18,                                                                       \
      "Error <18> : Run Time Error - Expression too long, an expression may hold at most 50 "      \
      "tokens.")                                                                                   \
    X(Unbalanced, 18, "Error <18> : Run Time Error - Unbalanced parentheses within expression.")   \
    X(NestedTooDeeply, 18,                                                                         \
      "Error <18> : Run Time Error - Parentheses nested too deeply within expression, at most 50 " \
      "levels are allowed.")                                                                       \
    X(InvalidOperator, 19, "Error <19> : Run Time Error - Invalid Operator within expression")     \
    X(TypeMismatch, 20, "Error <20> : Run Time Error - Type mismatch within expression")           \
    X(ValueTooBig, 21, "Error <21> : Run Time Error - Value too big for variable.")                \
    X(OperatorNotCorrect, 21, "Error <21> : Run Time Error - Operator not correct for expression") \
    X(LogicalOperator, 65,                                                                         \
      "RTE (65) - The Logical Operator requires it to have boolean (true/false) values on either " \
      "side of it. ")                                                                              \
    X(InvalidCondition, 66,                                                                        \
      "RTE (66) - Invalid Condition, Expression must return either boolean True or False.")        \
    X(VariableMissing, 10, "Error <10> : Run Time Error - Variable <{}> does not exist.")          \
    X(VariableTableFull, 10,                                                                       \
      "Error <10> : Run Time Error - Variable table full, could not create <{}>. At most 51 "      \
      "variables (TRUE and FALSE among them) can exist at once.")                                  \
    X(OutOfMemory, 97,                                                                             \
      "RTE (97) - Out of memory: the program's texts would need more than 256 MiB.")               \
    /* The run loop */                                                                             \
    X(NoValidToken, 14,                                                                            \
      "Error <14> : Run Time Error - Internal Error (RTIE), could not find a valid token in "      \
      "execution path.")                                                                           \
    /* Conditions and jumps */                                                                     \
    X(NoEndif, 64, "RTE (64) - Could find no terminating ENDIF command for IF command")            \
    X(GotoNoLabel, 67, "RTE (67) - GOTO Failed, could not locate the label requested.")            \
    X(GosubNoLabel, 67, "RTE (67) - GOSUB Failed, could not locate the label requested.")          \
    /* Loops */                                                                                    \
    X(LoopStackOverflow, 16, "Error <16> : Run Time Error - Loop stack overflow.")                 \
    X(NoLoop, 17,                                                                                  \
      "Error <17> : Run Time Error - Unterminated DO..LOOP structure, could not find LOOP "        \
      "command")                                                                                   \
    X(NoNext, 64, "RTE (64) - Could find no terminating NEXT command for FOR command")             \
    X(NoUntil, 17,                                                                                 \
      "Error <17> : Run Time Error - Unterminated REPEAT..UNTIL structure, could not find "        \
      "matching UNTIL command")                                                                    \
    X(NoWend, 17,                                                                                  \
      "Error <17> : Run Time Error - Unterminated WHILE..WEND structure, could not find matching " \
      "WEND command")                                                                              \
    X(LoopNoCurrent, 16,                                                                           \
      "ProgError <1> : LOOP Command requested loop structure, could not find current loop..")      \
    X(ForName, 62,                                                                                 \
      "RTE (62) - Invalid variable name suggested to FOR Command, please verify the variable "     \
      "name used!")                                                                                \
    X(NextNoLoop, 5, "ProgError <5> : NEXT command could not locate the current loop!")            \
    X(UntilNoLoop, 5, "ProgError <5> : UNTIL command could not locate the current loop!")          \
    X(WendNoLoop, 5, "ProgError <5> : WEND command could not locate the current loop!")            \
    /* Procedures */                                                                               \
    X(CallNotFound, 78, "RTE (78) - CALL Command Failed, could not find CALL {}")                  \
    X(CallStackFull, 79, "RTE (79) - CALL Command Failed, out of return stack space.")             \
    X(ProcedureNoEnd, 14,                                                                          \
      "RTE (14) - Internal Error (RTIE), could not find a valid token in execution path.")         \
    /* Maths */                                                                                    \
    X(CosValue, 35, "RTE (35) - COS, invalid value passed.")                                       \
    X(SinValue, 36, "RTE (36) - SIN, invalid value passed.")                                       \
    X(TanValue, 48,                                                                                \
      "RTE (48) - Tan function failed, value passed was not valid and/or not of the correct "      \
      "type")                                                                                      \
    X(AcosValue, 49, "RTE (49) - ACOS, invalid value passed.")                                     \
    X(AsinValue, 51, "RTE (51) - ASIN, invalid value passed.")                                     \
    X(AtanValue, 53,                                                                               \
      "RTE (53) - ATan function failed, value passed was not valid and/or not of the correct "     \
      "type")                                                                                      \
    X(HcosValue, 50, "RTE (50) - HCOS, invalid value passed.")                                     \
    X(HsinValue, 52, "RTE (52) - HSIN, invalid value passed.")                                     \
    X(HtanValue, 54,                                                                               \
      "RTE (54) - HTAN function failed, value passed was not valid and/or not of the correct "     \
      "type")                                                                                      \
    X(AbsValue, 43,                                                                                \
      "RTE (43) - ABS function failed, value passed was not valid and/or not of the correct "      \
      "type")                                                                                      \
    X(IntValue, 44,                                                                                \
      "RTE (44) - INT function failed, value passed was not valid and/or not of the correct "      \
      "type")                                                                                      \
    X(SqrValue, 45,                                                                                \
      "RTE (45) - SQR function failed, value passed was not valid and/or not of the correct "      \
      "type")                                                                                      \
    X(ExpValue, 46,                                                                                \
      "RTE (46) - EXP function failed, value passed was not valid and/or not of the correct "      \
      "type")                                                                                      \
    X(LogValue, 47,                                                                                \
      "RTE (47) - LOG function failed, value passed was not valid and/or not of the correct "      \
      "type")                                                                                      \
    X(LnValue, 48,                                                                                 \
      "RTE (48) - LN function failed, value passed was not valid and/or not of the correct type")  \
    X(MaxValues, 41,                                                                               \
      "RTE (41) - MAX Function failed, value passed were invalid and/or not of matching type.")    \
    X(MinValues, 42,                                                                               \
      "RTE (42) - MIN Function failed, value passed were invalid and/or not of matching type.")    \
    X(SgnValue, 43,                                                                                \
      "RTE (43) - SGN function failed, value passed was not valid and/or not of the correct "      \
      "type")                                                                                      \
    X(MathsParameters, 38, "RTE (38) - Invalid parameters passed to maths function.")              \
    X(AddNoVariable, 39, "RTE (39) - ADD Command failed, could not find variable <{}>.")           \
    X(SubNoVariable, 40, "RTE (40) - SUB command failed, could not find variable <{}>.")           \
    /* Strings */                                                                                  \
    X(StringParameters, 37, "RTE (37) - Invalid parameters passed to string function.")            \
    X(SortUnavailable, 37,                                                                         \
      "RTE (37) - SORT is not available: it works on arrays, and the language has no arrays.")     \
    X(MatchUnavailable, 37,                                                                        \
      "RTE (37) - MATCH is not available: it works on arrays, and the language has no arrays.")    \
    /* Dates and times */                                                                          \
    X(DateToStrArgument, 70,                                                                       \
      "RTE (70) - DATETOSTR Failed, invalid paramaters passed to function. Please verify you "     \
      "have passed a valid real number.")                                                          \
    X(DateToStrValue, 68,                                                                          \
      "RTE (68) - DATETOSTR Failed, invalid number passed to function. Please verify a valid "     \
      "real number was passed to this function.")                                                  \
    X(TimeToStrArgument, 71,                                                                       \
      "RTE (71) - TIMETOSTR Failed, invalid paramaters passed to function. Please verify you "     \
      "have passed a valid real number.")                                                          \
    X(TimeToStrValue, 69,                                                                          \
      "RTE (69) - TIMETOSTR Failed, invalid number passed to function. Please verify a valid "     \
      "real number was passed to this function.")                                                  \
    X(FormatDateTimeArgument, 72,                                                                  \
      "RTE (72) - FORMATDATETIME Failed, invalid parameters passed. Please verify parameters "     \
      "passed are a string and real number.")                                                      \
    X(FormatDateTimeValue, 73,                                                                     \
      "RTE (73) - FORMATDATETIME Failed, invalid number passed to function. Please verify a "      \
      "valid real number was passed to this function.")                                            \
    X(StrToDateText, 75, "RTE (75) - STRTODATE Failed, String contained no valid date.")           \
    X(StrToTimeText, 77, "RTE (77) - STRTOTIME Failed, String contained no valid time.")           \
    /* SET, OUTPUTDEBUG, RESOLUTION, FADE */                                                       \
    X(OutputDebugFailed, -1, "OutputDebug() failed.")                                              \
    X(SetLineStyle, 22, "RTE (22) - Set Line command failed, line style value was out of bounds")  \
    X(SetCursValues, 58,                                                                           \
      "RTE (58) - SET CURS failed. One or more parameters are not simple integer values - "        \
      "Expressions are not allowed.")                                                              \
    X(Resolution, 93,                                                                              \
      "RTE (93) - Resolution change failed, Unknown or Unsupported resolution passed to "          \
      "command.")                                                                                  \
    X(FadeFailed, 0, "FADE Failed")                                                                \
    /* Screens */                                                                                  \
    X(ScreenNumberInvalid, 27, "RTE (27) - Screen number <{}> is invalid!")                        \
    X(ScreenNotOpen, 28, "RTE (28) - Screen {} is not open.")                                      \
    X(ScreenAlreadyOpen, 24, "RTE (24) - Screen {} is already open.")                              \
    X(ScreenSize, 25, "RTE (25) - Screen dimensions are too big or too small.")                    \
    X(ScreenClosure, 4, "ProgError <4> : Screen closure error, existing commands queued?")         \
    X(CloneAllUsed, 30,                                                                            \
      "RTE (30) - Could not clone current screen, all available screens are used.")                \
    X(CloneExists, 29,                                                                             \
      "RTE (29) - Could not clone current screen, clone destination screen already exists ({}).")  \
    X(ZOrderClosed, 31,                                                                            \
      "RTE (31) - Could not change ZOrder of screen ({}). Screen is is not open.")                 \
    X(CurrentClosed, 32,                                                                           \
      "RTE (32) - Could not change the current screen to  ({}), this screen is not open.")         \
    X(OffsetClosed, 33, "RTE (33) - Could not change screen location, screen ({}) is not open.")   \
    X(ResizeClosed, 34, "RTE (34) - Could not change screen dimensions, screen ({}) is not open.") \
    /* Graphics */                                                                                 \
    X(DrawScreenNotOpen, 15, "Error <15> : Run Time Error - Screen {} is not open.")               \
    X(CircleLimits, 23,                                                                            \
      "RTE (23) - Circle command could not be performed, Windows 95/98/NT limits exceeded.")       \
    X(ArcLimits, 23,                                                                               \
      "RTE (23) - ARC command could not be performed, Windows 95/98/NT limits exceeded.")          \
    X(PieLimits, 23,                                                                               \
      "RTE (23) - Pie command could not be performed, Windows 95/98/NT limits exceeded.")          \
    X(TooManyPoints, 26, "RTE (26) - {} Command failed, at most 50 points can be given.")          \
    X(PlotArguments, 999,                                                                          \
      "Error <999> : Plot failed, during the evaluation of X,Y and colour parameters..")           \
    X(GfxLocateArguments, 999,                                                                     \
      "Error <999> : GfxLocate failed, during the evaluation of X,Y arguments..")                  \
    X(LineFullArguments, 999,                                                                      \
      "Error <999> : Line (Full) failed, during the evaluation of X1,Y1,X2,Y2 arguments..")        \
    X(LinePartArguments, 999,                                                                      \
      "Error <999> : Line (Part) failed, during the evaluation of X1,Y1 arguments..")              \
    X(BoxArguments, 999,                                                                           \
      "Error <999> : Box Command failed, during the evaluation of X1,Y1,X2,Y2 arguments..")        \
    X(BarArguments, 999,                                                                           \
      "Error <999> : BAR Command failed, during the evaluation of X1,Y1,X2,Y2 arguments..")        \
    X(CircleArguments, 999,                                                                        \
      "Error <999> : CIRCLE Command failed, during the evaluation of X1,Y1,X2,Y2 arguments..")     \
    X(PolygonArguments, 999,                                                                       \
      "Error <999> : POLYGON Command failed, during the evaluation of X1,Y1 <repeating> "          \
      "arguments..")                                                                               \
    X(PolylineArguments, 999,                                                                      \
      "Error <999> : POLYLINE Command failed, during the evaluation of X1,Y1 <repeating> "         \
      "arguments..")                                                                               \
    X(InkArguments, 999,                                                                           \
      "Error <999> : INK Command failed, during the evaluation of colour index arguments..")       \
    X(BrushArguments, 999,                                                                         \
      "Error <999> : BRUSH Command failed, during the evaluation of X1,Y1,X2,Y2 arguments..")      \
    X(ArcArguments, 999,                                                                           \
      "Error <999> : ARC Command failed, during the evaluation of X1,Y1,X2,Y2 arguments..")        \
    X(PieArguments, 999,                                                                           \
      "Error <999> : Pie Command failed, during the evaluation of X1,Y1,X2,Y2 arguments..")        \
    X(PaintArguments, 999,                                                                         \
      "Error <999> : Paint Command failed, during the evaluation of X1,Y1,X2,Y2 arguments..")      \
    X(TextArguments, 999,                                                                          \
      "Error <999> : TEXT Command failed, during the evaluation of X1,Y1,X2,Y2 arguments..")       \
    /* Text */                                                                                     \
    X(PreformatNumber, 59,                                                                         \
      "RTE (59) - Invalid integer value passed with preformatting commands. You have specified a " \
      "invalid integer value, after a control character in a preformatted string.")                \
    X(PreformatValue, 60,                                                                          \
      "RTE (60) - Invalid value passed to preformatting command. You have specified an invalid "   \
      "value, required by a preformatting command. Please check your expression and try again.")   \
    X(OnOrOff, 57, "RTE (57) - Invalid parameter passed to command, excepted ON or OFF.")          \
    X(FontValue, 55,                                                                               \
      "RTE (55) - Invalid parameter passed to FONT command. Value passed was no valid and/or not " \
      "of the correct type.")                                                                      \
    X(FontDrawMode, 56, "RTE (56) - FONT DMODE command failed, invalid value passed.")             \
    X(LocateArguments, 999,                                                                        \
      "Error <999> : Locate failed, during the evaluation of X,Y arguments..")                     \
    X(CmoveArguments, 999, "Error <999> : CMOVE failed, during the evaluation of X,Y arguments..") \
    X(SetTabValue, 61,                                                                             \
      "RTE (61) - SET TAB failed, invalid integer passed to command. Must be in range 0 - 80.")    \
    /* The text functions report a code of -1 with "RTE (0)" in their texts */                     \
    X(PreinkValue, -1, "RTE (0) - PREINK Function failed, invalid colour value supplied.")         \
    X(PremoveValues, -1, "RTE (0) - PREMOVE Function failed, invalid colour value supplied.")      \
    X(PrelocateValues, -1,                                                                         \
      "RTE (0) - PRELOCATE Function failed, invalid integers value supplied.")                     \
    X(PrecdownValue, -1, "RTE (0) - PRECDOWN Function failed, invalid value supplied.")            \
    X(PrecupValue, -1, "RTE (0) - PRECUP Function failed, invalid value supplied.")                \
    X(PrecleftValue, -1, "RTE (0) - PRECLEFT Function failed, invalid value supplied.")            \
    X(PrecrightValue, -1, "RTE (0) - PRECRIGHT Function failed, invalid value supplied.")          \
    X(FontnameIndex, -1, "RTE (0) - FONTNAME Function failed, invalid index value supplied.")      \
    /* The keyboard and WAIT */                                                                    \
    X(KeyboardNotRunning, 80,                                                                      \
      "RTE (80) - Cannot call Keyboard based command or function, Keyboard service is not "        \
      "running - Call \"KEYBOARD ON\" command.")                                                   \
    X(SingleInteger, 81, "RTE (81) - Expected single integer value passed to function.")           \
    /* Sprites and paths */                                                                        \
    X(SpriteInteger, 84,                                                                           \
      "RTE (84) - Expected single simple integer value passed to function, parameter : {}")        \
    X(SpriteFileName, 86,                                                                          \
      "RTE (86) - Expected a name of a valid Sprite passed to function. Could not find file in "   \
      "parameter : 3")                                                                             \
    X(SpriteInUse, 89,                                                                             \
      "RTE (89) - Cannot create this sprite, sprite number is already created and in use.")        \
    X(SpriteImagesFull, 88,                                                                        \
      "RTE (88) - Out Of Sprite Image Space, too many sprite images cannot create another.")       \
    X(SpriteNumber, 85, "RTE (85) - Cannot create this sprite, sprite numbers run from 0 to 50.")  \
    X(SpriteFile, 87, "RTE (87) - Could not read the sprite file {}.")                             \
    X(SpriteNotCreated, 90, "RTE (90) - Call failed, sprite has not been created.")                \
    X(SpriteFrame, 91, "RTE (91) - Could not set sprite frame number, value is out of range.")     \
    X(SpriteDeleteValue, 82,                                                                       \
      "RTE (82) - Expected single integer value/expression passed to function, parameter : 11")    \
    X(SpriteYesNo, 92, "RTE (92) - Instruction Expected YES or NO in parameter number : 1")        \
    X(PathNotFound, 94,                                                                            \
      "RTE (94) - Could not add sprite to path, path with ID specified does not exist.")           \
    X(SpriteHasNoPath, 95, "RTE (95) - Selected sprite has no path added or assigned to it.")      \
    X(PathPosition, 96, "RTE (96) - Path position specified is out of bounds.")                    \
    /* The console */                                                                              \
    X(ConsoleLineTooLong, -1, "Line too long, a typed line may hold at most 199 tokens.")

namespace tw {

enum class ErrorId : uint16_t {
#define TW_X(id, code, text) id,
    TW_ERROR_LIST(TW_X)
#undef TW_X
};

struct ErrorEntry {
    std::string_view name;
    int32_t code;
    std::string_view text;
};

inline constexpr std::array kErrors = {
#define TW_X(id, code, text) ErrorEntry{#id, code, text},
    TW_ERROR_LIST(TW_X)
#undef TW_X
};

constexpr const ErrorEntry& Entry(ErrorId id) {
    return kErrors[static_cast<size_t>(id)];
}

// The number of "{}" placeholders in a text.
constexpr int PlaceholderCount(std::string_view text) {
    int n = 0;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '{' && text[i + 1] == '}') ++n;
    }
    return n;
}

// One value for a placeholder: a text or a whole number (written in decimal).
struct ErrorArg {
    ErrorArg(std::string_view t) : text(t) {}
    ErrorArg(const std::string& t) : text(t) {}
    ErrorArg(const char* t) : text(t) {}
    template <std::integral N>
    ErrorArg(N n) : text(std::to_string(n)) {}
    std::string text;
};

// An entry of the error table named where a failure is reported: a failure passes exactly as
// many values as the entry's text has placeholders, which the compiler checks here.
template <int kValues>
struct CheckedError {
    consteval CheckedError(ErrorId checked) : id(checked) {
        if (PlaceholderCount(Entry(checked).text) != kValues) {
            throw "the error's text has another number of placeholders than values are passed";
        }
    }
    ErrorId id;
};

// The entry's text with its placeholders filled in order. Missing values leave "{}"; a
// surplus is ignored.
std::string ErrorText(ErrorId id, std::initializer_list<ErrorArg> args = {});

}  // namespace tw
