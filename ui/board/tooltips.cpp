#include "ui/board/tooltips.h"

#include <algorithm>
#include <array>
#include <utility>

namespace roulette::layout
{

namespace
{

using Entry = std::pair<std::string_view, std::string_view>;

constexpr std::array ToolTips{
    Entry{"Text2", "Dernier numéro tiré par le PC ou la roue simulée ; les tirages d'un "
                   "fichier ne l'affichent pas (voir l'historique).\nEn mode manuel "
                   "(« Retour », Ctrl+M), tapez ici un numéro de 0 à 36 puis Entrée pour le "
                   "jouer."},
    Entry{"Text3", "Position atteinte dans le fichier de tirage : le rang du dernier numéro "
                   "joué."},
    Entry{"Label5", "Les 28 derniers numéros sortis, le plus récent à droite."},
    Entry{"Label1", "Un clic marque le numéro (carré jaune) ou le démarque ; en mode manuel "
                    "(« Retour »), un clic le joue.\nLa case du dernier numéro sorti clignote."},
    Entry{"Label2", "Sorties du numéro au-dessus depuis la remise à zéro ; la couleur suit "
                    "ce nombre (F1 : la légende des couleurs)."},
    Entry{"Label3", "Numéro marqué : « GAGNE » s'allume quand il sort."},
    Entry{"Line1", "Première douzaine : 1 à 12"},
    Entry{"Line2", "Deuxième douzaine : 13 à 18"},
    Entry{"Line3", "Deuxième douzaine : 19 à 24"},
    Entry{"Line4", "Troisième douzaine : 25 à 36"},
    Entry{"Label4", "Choisir les n° à la main , cliquer sur le N°  que vous voulez valider"},
    Entry{"Label6", "Un numéro marqué vient de sortir."},
    Entry{"Label10", "Étude Roulette : les tirages d'une roulette à un zéro, spin par spin"},
    Entry{"Command3", "Remet à zéro les sorties, les compteurs, les marques et les graphiques "
                      "(ceux-ci au tirage suivant).\nL'historique et le fichier de tirage "
                      "restent."},
    Entry{"Command1", "Tire un numéro à la source choisie dans « Choix du Flux », ou le "
                      "suivant du fichier de tirage chargé."},
    Entry{"Frame1", "Sorties du zéro et de chaque douzaine depuis la remise à zéro."},
    Entry{"Label8(0)", "Zéro"},
    Entry{"Label8(1)", "Première douzaine : 1 à 12"},
    Entry{"Label8(2)", "Deuxième douzaine : 13 à 24"},
    Entry{"Label8(3)", "Troisième douzaine : 25 à 36"},
    Entry{"Label7(0)", "Sorties du zéro depuis la remise à zéro"},
    Entry{"Label7(1)", "Sorties de la première douzaine (1 à 12) depuis la remise à zéro"},
    Entry{"Label7(2)", "Sorties de la deuxième douzaine (13 à 24) depuis la remise à zéro"},
    Entry{"Label7(3)", "Sorties de la troisième douzaine (25 à 36) depuis la remise à zéro"},
    Entry{"Command2", "Passe d'un graphique à l'autre : la répartition des 37 numéros, ou "
                      "le zéro et les douzaines."},
    Entry{"Frame2", "La source des numéros quand aucun fichier de tirage n'est chargé."},
    Entry{"Option1(0)", "Le générateur pseudo-aléatoire de l'ordinateur"},
    Entry{"Option1(1)", "Une roue simulée : une position tirée sur un tour du cylindre"},
    Entry{"Option1(2)", "Une roue simulée : une position tirée sur quatre tours du cylindre"},
    Entry{"Frame3", "Pour un tirage sur fichier , votre fichier doit etre en .TXT avec un n° par "
                    "ligne , sans espace ni autre signe."},
    Entry{"Command4", "Choisir un fichier de tirage (.txt, un numéro par ligne)."},
    Entry{"Label8(4)", "Nombre de numéros lus dans le fichier de tirage"},
    Entry{"Command5", "Lecture automatique du fichier : pas en fonction."},
    Entry{"Command6", "Joue le numéro suivant du fichier de tirage."},
    Entry{"MSChart1", "Tirage par tirage, combien des 37 numéros sont sortis 0, 1, 2… 10 fois "
                      "depuis la remise à zéro.\nSurvolez une courbe pour lire sa valeur ; "
                      "clic droit : la loi d'une roue équilibrée."},
    Entry{"MSChart2", "Tirage par tirage, les sorties cumulées du zéro et de chaque douzaine "
                      "depuis la remise à zéro.\nSurvolez une courbe pour lire sa valeur ; "
                      "clic droit : la loi d'une roue équilibrée."},
};

std::string_view find(std::string_view name)
{
    const auto *entry = std::find_if(ToolTips.begin(), ToolTips.end(),
                                     [name](const Entry &e) { return e.first == name; });
    return entry == ToolTips.end() ? std::string_view() : entry->second;
}

} // namespace

std::string_view toolTipFor(std::string_view name)
{
    if (const std::string_view tip = find(name); !tip.empty())
        return tip;
    return find(name.substr(0, name.find('(')));
}

} // namespace roulette::layout
