// The Japanese words for the codes the tables store, shared by the window and the CSV.
#pragma once

#include <QString>

namespace rekendo::record {

QString KindLabel(const QString& kind);        // problem, trivia, choice
QString OutcomeLabel(const QString& outcome);  // right, wrong, left, open
QString EndingLabel(const QString& ending);    // open, finished, unfinished

}  // namespace rekendo::record
