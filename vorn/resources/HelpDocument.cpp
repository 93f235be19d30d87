#include "HelpDocument.h"

#include <cstdio>

namespace
{
// UTF-8 to Latin-1 (a subset of WinAnsi), PDF string escapes.
std::string PdfText(const std::string& utf8)
{
    std::string out;
    for (size_t i = 0; i < utf8.size(); ++i)
    {
        unsigned char c = utf8[i];
        unsigned code = c;
        if (c >= 0x80)
        {
            int extra = (c >= 0xF0) ? 3 : (c >= 0xE0) ? 2 : 1;
            code = c & (0x3F >> extra);
            for (int k = 0; k < extra && i + 1 < utf8.size(); ++k)
                code = (code << 6) | (utf8[++i] & 0x3F);
        }
        if (code > 0xFF)
            code = '?';
        if (code == '(' || code == ')' || code == '\\')
            out += '\\';
        out += char(code);
    }
    return out;
}

std::string Offset10(size_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%010zu", value);
    return text;
}
} // namespace

std::string BuildTextPdf(const std::vector<std::vector<std::string>>& pages)
{
    // Objects: 1 catalogue, 2 page tree, 3 font, then per page its page
    // object and its content stream.
    std::vector<std::string> objects(3);
    std::string kids;
    for (size_t p = 0; p < pages.size(); ++p)
    {
        const size_t page = 4 + 2 * p;
        kids += std::to_string(page) + " 0 R ";
        std::string content = "BT\n/F1 11 Tf\n14 TL\n60 780 Td\n";
        for (const std::string& line : pages[p])
        {
            if (line.rfind("# ", 0) == 0)
                content += "/F1 16 Tf\n(" + PdfText(line.substr(2)) + ") Tj\nT*\n/F1 11 Tf\n";
            else
                content += "(" + PdfText(line) + ") Tj\nT*\n";
        }
        content += "ET\n";
        objects.push_back(
            "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << /Font << /F1 3 0 R "
            ">> >> /Contents " +
            std::to_string(page + 1) + " 0 R >>");
        objects.push_back("<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content +
                          "endstream");
    }
    if (!kids.empty())
        kids.pop_back();
    objects[0] = "<< /Type /Catalog /Pages 2 0 R >>";
    objects[1] = "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages.size()) + " >>";
    objects[2] = "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>";

    std::string out = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    std::vector<size_t> offsets;
    for (size_t i = 0; i < objects.size(); ++i)
    {
        offsets.push_back(out.size());
        out += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const size_t xref = out.size();
    out += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (size_t offset : offsets)
        out += Offset10(offset) + " 00000 n \n";
    out += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           std::to_string(xref) + "\n%%EOF\n";
    return out;
}

std::string BuildHelpPdf()
{
    return BuildTextPdf({
        {
            "# Ovalis - Aide",
            "",
            "Ovalis sert à concevoir la tranchée d'entrée d'un tunnel : on construit un",
            "modèle géologique du terrain, on place l'axe du tunnel et une tête de tranchée",
            "paramétrée, puis on calcule les volumes excavés et le coût des travaux.",
            "",
            "# Démarrage",
            "",
            "Lancez le programme seul, ou avec le chemin d'un projet (.ovx) à ouvrir.",
            "Sans projet, seuls les menus Fichier et Aide sont actifs : créez un projet",
            "(Fichier > Nouveau projet) ou ouvrez-en un (Fichier > Ouvrir).",
            "",
            "# Les deux modes",
            "",
            "Mode Création (vue en plan) : fond de plan, couches géologiques, points,",
            "lignes de niveau, sondages, coupes, axe et zone de visualisation.",
            "Mode Visualisation (vue 3D) : tête de tranchée, options d'affichage, coupes",
            "et éléments de décor. On ne passe en mode Visualisation que si la zone de",
            "visualisation est bien définie.",
            "",
            "# Raccourcis",
            "",
            "Ctrl+Z : annuler la dernière modification.",
            "Ctrl+Y : refaire la modification annulée.",
            "Echap ou clic droit : terminer l'outil en cours.",
        },
        {
            "# Calculs",
            "",
            "Menu Calculs : export des sondages, fonction de coût, fenêtre des résultats,",
            "calculs en série le long de l'axe et courbes de ces calculs.",
            "La tête de tranchée doit être placée avant de lancer des calculs en série.",
            "",
            "# Fichiers",
            "",
            "Projet : fichier XML d'extension .ovx (élément racine Projet).",
            "Tête de tranchée : fichier XML d'extension .ovr.",
            "Exports : CSV séparés par des points-virgules, DXF pour les couches.",
        },
    });
}
