# bash completion for kiv-cli. Self-contained (no helpers of the bash-completion package), so
# that it also works when sourced on its own.
_kiv_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    local command='' i
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
            -*) ;;
            *) command=${COMP_WORDS[i]}; break ;;
        esac
    done
    COMPREPLY=()
    if [[ -z $command ]]; then
        mapfile -t COMPREPLY < <(compgen -W 'encrypt-text decrypt-text encrypt-files
            decrypt-file list dde help --help --version' -- "$cur")
        return
    fi

    case $prev in
        --password-file)
            compopt -o filenames
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return ;;
        -o | --output)
            compopt -o filenames
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return ;;
        -C | --directory)
            compopt -o filenames
            mapfile -t COMPREPLY < <(compgen -d -- "$cur")
            return ;;
        --password-fd | --service)
            return ;;
    esac

    local options
    case $command in
        encrypt-text | decrypt-text) options='--password-file --password-fd --help' ;;
        encrypt-files) options='-o --output --password-file --password-fd --help' ;;
        decrypt-file) options='-C --directory --password-file --password-fd --help' ;;
        list) options='--help' ;;
        dde) options='--service --help' ;;
        *) return ;;
    esac
    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
        return
    fi
    case $command in
        encrypt-files)
            compopt -o filenames
            mapfile -t COMPREPLY < <(compgen -f -- "$cur") ;;
        decrypt-file | list)
            # Folders too, to get to the .vrq files inside them.
            compopt -o filenames
            mapfile -t COMPREPLY < <(compgen -f -X '!*.vrq' -- "$cur"; compgen -d -- "$cur") ;;
        dde)
            mapfile -t COMPREPLY < <(compgen -W 'DdeServerConv1' -- "$cur") ;;
    esac
}
complete -F _kiv_cli kiv-cli
